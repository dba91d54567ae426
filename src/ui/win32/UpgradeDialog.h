#pragma once
#include <functional>
#include <string>

#include "ui/win32/DialogWindow.h"

namespace velmora {

// "Upgrade": the Catalina home (and JDK) to move the installed service to.
// Check runs the check before an upgrade alone; Upgrade hands both on, and
// the command asks its questions and runs off the window's thread like
// every other. The main window is disabled while it shows.
class UpgradeDialog : public DialogWindow {
public:
    // home, JDK (empty: the same), whether to check only
    using Run = std::function<void(const std::string&, const std::string&, bool)>;

    void show(HINSTANCE instance, HWND owner, const std::string& name, const std::string& home,
              const std::string& javaHome, Run run);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void browse(int box);
    void finish(bool checkOnly);
    void close();

    HWND owner_ = nullptr;
    Run run_;
    std::string shownFor_;  // the service, and where it was, when shown last
};

}  // namespace velmora
