#include "ui/win32/OpenDialog.h"

#include "platform/win32/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowPlacement.h"
#include "ui/win32/WindowText.h"

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

HWND createChild(HINSTANCE instance, HWND parent, const wchar_t* className, const wchar_t* text, DWORD style,
                 const TwipsRect& at, int id, int extraHeight = 0) {
    const UINT dpi = dpiOf(parent);
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style,
                                 twipsToPixels(at.left, dpi), twipsToPixels(at.top, dpi), twipsToPixels(at.width, dpi),
                                 twipsToPixels(at.height + extraHeight, dpi), parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(child, WM_SETFONT, SendMessageW(parent, WM_GETFONT, 0, 0), FALSE);
    return child;
}

}  // namespace

void OpenDialog::show(HINSTANCE instance, HWND owner, Names names, Choose choose) {
    names_ = std::move(names);
    choose_ = std::move(choose);
    if (!window_) {
        instance_ = instance;
        if (!create(instance, IDD_OPEN, owner)) return;
    }
    showBeside(owner, true);
}

INT_PTR OpenDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: createControls(); return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) fillList();
            return FALSE;  // the dialog still restores the focus
        case WM_COMMAND:
            // Enter and Esc arrive as IDOK and IDCANCEL; neither button is bound to them.
            switch (LOWORD(wParam)) {
                case IDC_OPEN_OK: chooseTypedName(); return TRUE;
                case IDC_OPEN_CANCEL: ShowWindow(window_, SW_HIDE); return TRUE;
            }
            return FALSE;
        case WM_CLOSE: ShowWindow(window_, SW_HIDE); return TRUE;
    }
    return FALSE;
}

void OpenDialog::createControls() {
    const UINT dpi = dpiOf(window_);
    const SIZE frame =
        windowSizeFor(window_, SIZE{twipsToPixels(kClientWidth, dpi), twipsToPixels(kClientHeight, dpi)}, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Created in keyboard order.
    createChild(instance_, window_, L"BUTTON", L"OK", BS_PUSHBUTTON | WS_GROUP, kOkButton, IDC_OPEN_OK);
    createChild(instance_, window_, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_GROUP, kCancelButton, IDC_OPEN_CANCEL);
    createChild(instance_, window_, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_SORT | CBS_AUTOHSCROLL | WS_VSCROLL | WS_GROUP,
                kCombo, IDC_OPEN_NAME, kComboDropHeight);
}

void OpenDialog::fillList() {
    HWND combo = item(IDC_OPEN_NAME);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    setTextOf(combo, "");
    bool first = true;
    for (const std::string& name : names_()) {
        if (name.empty()) continue;
        if (first) setTextOf(combo, name);
        first = false;
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    }
}

void OpenDialog::chooseTypedName() {
    const std::string name = textOf(item(IDC_OPEN_NAME));
    // Hidden first, while the window behind it can still take the activation: hidden over a disabled owner,
    // Windows would bring another program's window to the front.
    ShowWindow(window_, SW_HIDE);
    choose_(name);
}

}  // namespace velmora
