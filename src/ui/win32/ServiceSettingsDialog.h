#pragma once
#include <string>
#include <vector>

#include "ui/win32/DialogWindow.h"

namespace velmora {

class Session;
class Editing;

// "Service Settings": how the service starts, the account it runs as, what
// it depends on, how long a stop waits and what happens after a failure,
// with the folders the chosen account cannot use. OK hands every changed
// value to the session, as the main window's boxes do; Save stores them.
// The main window is disabled while it shows, so the configuration it
// edits cannot change under it.
class ServiceSettingsDialog : public DialogWindow {
public:
    void show(HINSTANCE instance, HWND owner, Session& session, Editing& editing);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void fill();
    void showRights();
    void takeChosenAccount();
    std::string chosenAccount();
    std::vector<std::string> typedDependencies();
    // Every value is checked before any is handed over: one bad value changes nothing.
    void handOver();
    void close();

    HWND owner_ = nullptr;
    Session* session_ = nullptr;
    Editing* editing_ = nullptr;
};

}  // namespace velmora
