#include "ui/win32/NoticeWindow.h"

#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowPlacement.h"

namespace velmora {

INT_PTR CALLBACK NoticeWindow::dialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

void NoticeWindow::show(HINSTANCE instance, HWND owner, const std::string& text) {
    if (!window_) {
        window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_DLG), owner, dialogProc, 0);
        if (!window_) return;
        centerOver(window_, owner);
    }
    SetDlgItemTextA(window_, IDC_DLG_LABEL1, text.c_str());
    ShowWindow(window_, SW_SHOWNA);
    UpdateWindow(window_);
}

void NoticeWindow::hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

}  // namespace velmora
