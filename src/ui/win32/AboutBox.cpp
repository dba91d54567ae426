#include "ui/win32/AboutBox.h"

#include <string>

#include "app/Version.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

COLORREF textColourOf(int controlId) {
    switch (controlId) {
        case IDC_ABOUT_CREDIT: return RGB(0, 0, 255);
        case IDC_ABOUT_DISCLAIMER: return RGB(255, 0, 0);
        default: return RGB(0, 0, 0);
    }
}

}  // namespace

void AboutBox::show(HINSTANCE instance, HWND owner) {
    if (!window_) {
        if (!create(instance, IDD_ABOUT, owner)) return;
        const std::string title = kProductName;
        setTextOf(window_, "About " + title);
        setTextOf(item(IDC_ABOUT_VERSION), "Version " + versionText());
        setTextOf(item(IDC_ABOUT_TITLE), title);
        useTitleFont();
    }
    showBeside(owner, true);
}

// The title stands out: the dialog font, bold and a quarter larger.
void AboutBox::useTitleFont() {
    LOGFONTW look{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)), sizeof look, &look);
    look.lfWeight = FW_BOLD;
    look.lfHeight = look.lfHeight * 5 / 4;
    titleFont_ = FontHandle(CreateFontIndirectW(&look));
    SendMessageW(item(IDC_ABOUT_TITLE), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
}

void AboutBox::onDpiChanged(UINT dpi, const RECT* suggested) {
    DialogWindow::onDpiChanged(dpi, suggested);
    useTitleFont();
}

INT_PTR AboutBox::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            // OK is both the default and the cancel button: Enter and Esc close too.
            switch (LOWORD(wParam)) {
                case IDC_ABOUT_OK:
                case IDOK:
                case IDCANCEL: DestroyWindow(window_); return TRUE;
            }
            return FALSE;
        case WM_CLOSE: DestroyWindow(window_); return TRUE;
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, textColourOf(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    return FALSE;
}

}  // namespace velmora
