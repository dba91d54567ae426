#include "ui/win32/AboutBox.h"

#include <string>

#include "ui/win32/ResourceIds.h"
#include "ui/win32/Version.h"
#include "ui/win32/WindowPlacement.h"

namespace velmora {

namespace {

COLORREF textColourOf(int controlId) {
    switch (controlId) {
        case IDC_FRMABOUT_LABEL2: return RGB(0, 0, 255);
        case IDC_FRMABOUT_LABEL1: return RGB(255, 0, 0);
        default: return RGB(0, 0, 0);
    }
}

}  // namespace

AboutBox::~AboutBox() {
    if (window_) DestroyWindow(window_);
}

void AboutBox::show(HINSTANCE instance, HWND owner) {
    if (!window_) {
        window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_FRMABOUT), owner, dialogProc,
                                     reinterpret_cast<LPARAM>(this));
        if (!window_) return;
        load();
        centerOver(window_, owner);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

void AboutBox::load() {
    const std::string title = kProductName;
    SetWindowTextA(window_, ("About " + title).c_str());
    SetDlgItemTextA(window_, IDC_FRMABOUT_LBLVERSION, ("Version " + versionText()).c_str());
    SetDlgItemTextA(window_, IDC_FRMABOUT_LBLTITLE, title.c_str());

    LOGFONTA look{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0)), sizeof look, &look);
    look.lfWeight = FW_BOLD;
    look.lfHeight = look.lfHeight * 5 / 4;
    titleFont_ = FontHandle(CreateFontIndirectA(&look));
    SendDlgItemMessageA(window_, IDC_FRMABOUT_LBLTITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
}

INT_PTR CALLBACK AboutBox::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<AboutBox*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<AboutBox*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->onMessage(message, wParam, lParam) : FALSE;
}

INT_PTR AboutBox::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            // OK is both the default and the cancel button: Enter and Esc close too.
            switch (LOWORD(wParam)) {
                case IDC_FRMABOUT_CMDOK:
                case IDOK:
                case IDCANCEL: DestroyWindow(window_); return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            DestroyWindow(window_);
            return TRUE;
        case WM_NCDESTROY:
            window_ = nullptr;
            return FALSE;
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
