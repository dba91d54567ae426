#include "ui/win32/OpenDialog.h"

#include <string>

#include "config/DoConfig.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowPlacement.h"

namespace velmora {

namespace {

// Design positions in twips: left, top, width, height.
struct TwipsRect {
    int left, top, width, height;
};
constexpr int kClientWidth = 4530;
constexpr int kClientHeight = 1245;
constexpr TwipsRect kOkButton{3075, 120, 1215, 375};
constexpr TwipsRect kCancelButton{3075, 600, 1215, 375};
constexpr TwipsRect kCombo{225, 360, 2610, 315};
constexpr int kComboDropHeight = 2400;  // the open list below the text

HWND createChild(HINSTANCE instance, HWND parent, const char* className, const char* text, DWORD style,
                 const TwipsRect& at, int id, int extraHeight = 0) {
    const UINT dpi = dpiOf(parent);
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                                 twipsToPixels(at.left, dpi), twipsToPixels(at.top, dpi), twipsToPixels(at.width, dpi),
                                 twipsToPixels(at.height + extraHeight, dpi), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageA(child, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
    return child;
}

}  // namespace

void OpenDialog::show(HINSTANCE instance, HWND owner, DoConfig& config) {
    config_ = &config;
    if (!window_) {
        instance_ = instance;
        window_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_OPENDLG), owner, dialogProc,
                                     reinterpret_cast<LPARAM>(this));
        if (!window_) return;
        centerOver(window_, owner);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
}

INT_PTR CALLBACK OpenDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<OpenDialog*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<OpenDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    return self ? self->onMessage(message, wParam, lParam) : FALSE;
}

INT_PTR OpenDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            createControls();
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) fillList();
            return FALSE;  // the dialog still restores the focus
        case WM_COMMAND:
            // Enter and Esc arrive as IDOK and IDCANCEL; neither button is bound to them.
            switch (LOWORD(wParam)) {
                case IDC_OPENDLG_OKBUTTON: chooseTypedName(); return TRUE;
                case IDC_OPENDLG_CANCELBUTTON: ShowWindow(window_, SW_HIDE); return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            ShowWindow(window_, SW_HIDE);
            return TRUE;
    }
    return FALSE;
}

void OpenDialog::createControls() {
    const UINT dpi = dpiOf(window_);
    const SIZE frame = windowSizeFor(window_, SIZE{twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi)}, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Created in keyboard order.
    createChild(instance_, window_, "BUTTON", "OK", BS_PUSHBUTTON | WS_GROUP, kOkButton, IDC_OPENDLG_OKBUTTON);
    createChild(instance_, window_, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_GROUP, kCancelButton,
                IDC_OPENDLG_CANCELBUTTON);
    createChild(instance_, window_, "COMBOBOX", "", CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL | WS_GROUP,
                kCombo, IDC_OPENDLG_COMBO1, kComboDropHeight);
}

void OpenDialog::fillList() {
    HWND combo = GetDlgItem(window_, IDC_OPENDLG_COMBO1);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SetWindowTextA(combo, "");
    bool first = true;
    for (const std::string& name : config_->storedConfigurationNames()) {
        if (name.empty()) continue;
        if (first) SetWindowTextA(combo, name.c_str());
        first = false;
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

void OpenDialog::chooseTypedName() {
    HWND combo = GetDlgItem(window_, IDC_OPENDLG_COMBO1);
    std::string name(static_cast<std::size_t>(GetWindowTextLengthA(combo)) + 1, '\0');
    name.resize(static_cast<std::size_t>(GetWindowTextA(combo, name.data(), static_cast<int>(name.size()))));
    config_->loadConfiguration(name);
    ShowWindow(window_, SW_HIDE);
}

}  // namespace velmora
