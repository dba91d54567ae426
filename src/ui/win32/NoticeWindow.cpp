#include "ui/win32/NoticeWindow.h"

#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowPlacement.h"
#include "ui/win32/WindowText.h"

namespace velmora {

INT_PTR NoticeWindow::onMessage(UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

void NoticeWindow::show(HINSTANCE instance, HWND owner, const std::string& text) {
    if (!window_) {
        if (!create(instance, IDD_NOTICE, owner)) return;
        centerOver(window_, owner);
    }
    setTextOf(item(IDC_NOTICE_TEXT), text);
    ShowWindow(window_, SW_SHOWNA);
    UpdateWindow(window_);
}

void NoticeWindow::hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

}  // namespace velmora
