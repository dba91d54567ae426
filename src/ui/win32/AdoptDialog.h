#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/win32/DialogWindow.h"

namespace velmora {

class Session;

// "Adopt Service": the Tomcat services of this computer that are not
// Velmora's, and for the one chosen what taking it over would store and what
// of it no configuration keeps. Adopt hands the name on; the command asks its
// questions and runs off the window's thread like every other. The main
// window is disabled while it shows.
class AdoptDialog : public DialogWindow {
public:
    using Adopt = std::function<void(const std::string&)>;

    void show(HINSTANCE instance, HWND owner, Session& session, Adopt adopt);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDpiChanged(UINT dpi, const RECT* suggested) override;
    // The list box turns its tab stops into pixels by the font it has when told them.
    void setTabStops();
    void fillList();
    void showChosen();
    void adoptChosen();
    void close();

    HWND owner_ = nullptr;
    Session* session_ = nullptr;
    Adopt adopt_;
    std::vector<std::string> names_;  // in the list's order
};

}  // namespace velmora
