#include "ui/win32/UpgradeDialog.h"

#include <utility>

#include "ui/win32/Explorer.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

void UpgradeDialog::show(HINSTANCE instance, HWND owner, const std::string& name, const std::string& home,
                         const std::string& javaHome, Run run) {
    owner_ = owner;
    run_ = std::move(run);
    if (!window_ && !create(instance, IDD_UPGRADE, owner)) return;
    // The folders given last stay while it is the same service where it was then: a check is followed by its
    // upgrade.
    const std::string now = "Now: Tomcat in " + home + ", the JDK at " + javaHome + ".";
    if (name + "\n" + now != std::exchange(shownFor_, name + "\n" + now)) {
        setTextOf(item(IDC_UPGRADE_NOW), now);
        setTextOf(item(IDC_UPGRADE_HOME), "");
        setTextOf(item(IDC_UPGRADE_JDK), "");
    }
    showOverOwner(owner_, IDC_UPGRADE_HOME);
}

INT_PTR UpgradeDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK: finish(false); return TRUE;
                case IDC_UPGRADE_CHECK: finish(true); return TRUE;
                case IDCANCEL: close(); return TRUE;
                case IDC_UPGRADE_BROWSE_HOME: browse(IDC_UPGRADE_HOME); return TRUE;
                case IDC_UPGRADE_BROWSE_JDK: browse(IDC_UPGRADE_JDK); return TRUE;
            }
            return FALSE;
        case WM_CLOSE: close(); return TRUE;
    }
    return FALSE;
}

void UpgradeDialog::browse(int box) {
    const std::string folder = BrowseForFolder(window_);
    if (!folder.empty()) setTextOf(item(box), folder);
}

// Every rule is the command's: the dialog hands on what it was given.
void UpgradeDialog::finish(bool checkOnly) {
    const std::string home = textOf(item(IDC_UPGRADE_HOME)), javaHome = textOf(item(IDC_UPGRADE_JDK));
    close();
    run_(home, javaHome, checkOnly);
}

void UpgradeDialog::close() { hideForOwner(owner_); }

}  // namespace velmora
