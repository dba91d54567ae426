#include "ui/win32/NoticeWindow.h"

#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

INT_PTR NoticeWindow::onMessage(UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; }

void NoticeWindow::show(HINSTANCE instance, HWND owner, const std::string& text) {
    if (!window_ && !create(instance, IDD_NOTICE, owner)) return;
    setTextOf(item(IDC_NOTICE_TEXT), text);
    showBeside(owner, false);
    UpdateWindow(window_);
}

void NoticeWindow::hide() {
    if (window_) ShowWindow(window_, SW_HIDE);
}

}  // namespace velmora
