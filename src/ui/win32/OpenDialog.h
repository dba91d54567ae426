#pragma once
#include <windows.h>

namespace velmora {

class DoConfig;

// openDlg, "Open Config": picks a stored configuration by name. Modeless,
// created on first use and then only shown and hidden; its list is read
// afresh whenever it becomes active.
class OpenDialog {
public:
    OpenDialog() = default;
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    void show(HINSTANCE instance, HWND owner, DoConfig& config);

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void fillList();
    void chooseTypedName();

    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    DoConfig* config_ = nullptr;
};

}  // namespace velmora
