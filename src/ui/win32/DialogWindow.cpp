#include "ui/win32/DialogWindow.h"

#include "ui/win32/Dpi.h"
#include "ui/win32/WindowPlacement.h"

namespace velmora {

DialogWindow::~DialogWindow() {
    if (window_) DestroyWindow(window_);
}

bool DialogWindow::create(HINSTANCE instance, int templateId, HWND owner) {
    templateHeight_ = templateHeightOf(instance, templateId);
    CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, dialogProc, reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

namespace {

struct Beside {
    HWND owner;
    HWND self;
    std::vector<HWND>* found;
};

BOOL CALLBACK noteBeside(HWND window, LPARAM lParam) {
    const auto* beside = reinterpret_cast<Beside*>(lParam);
    if (window != beside->self && GetWindow(window, GW_OWNER) == beside->owner && IsWindowVisible(window) &&
        IsWindowEnabled(window))
        beside->found->push_back(window);
    return TRUE;
}

}  // namespace

void DialogWindow::showOverOwner(HWND owner, int focusId) {
    heldBack_.clear();
    Beside beside{owner, window_, &heldBack_};
    EnumThreadWindows(GetCurrentThreadId(), noteBeside, reinterpret_cast<LPARAM>(&beside));
    for (HWND other : heldBack_) EnableWindow(other, FALSE);
    EnableWindow(owner, FALSE);
    placeOver(owner);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(focusId)), TRUE);
}

// The owner first, so that it, not another program, becomes active again.
void DialogWindow::hideForOwner(HWND owner) {
    for (HWND other : heldBack_)
        if (IsWindow(other)) EnableWindow(other, TRUE);
    heldBack_.clear();
    EnableWindow(owner, TRUE);
    ShowWindow(window_, SW_HIDE);
}

void DialogWindow::showBeside(HWND owner, bool activate) {
    placeOver(owner);
    ShowWindow(window_, activate ? SW_SHOW : SW_SHOWNA);
    if (activate) SetForegroundWindow(window_);
}

void DialogWindow::placeOver(HWND owner) {
    if (!IsWindowVisible(window_)) centerOver(window_, owner);
}

void DialogWindow::onDpiChanged(UINT dpi, const RECT* suggested) { scaling_.apply(window_, dpi, suggested); }

namespace {

// Posted when the focus is moved (Tab, a mnemonic, the code), to be read once it has moved.
constexpr UINT kRevealFocus = WM_APP + 40;

}  // namespace

bool DialogWindow::onLayoutMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DPICHANGED:
            scroll_.release(window_);
            onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            scroll_.fit(window_, templateHeight_);
            return true;
        case WM_DISPLAYCHANGE:
        case WM_SETTINGCHANGE:
            if (message == WM_SETTINGCHANGE && wParam != SPI_SETWORKAREA) return false;
            scroll_.release(window_);
            scroll_.fit(window_, templateHeight_);
            return false;
        case WM_VSCROLL:
            if (lParam != 0) return false;  // a scroll bar control's, not the dialog's own
            scroll_.onScrollBar(window_, LOWORD(wParam));
            return true;
        case WM_MOUSEWHEEL:
            if (!scroll_.scrolls()) return false;
            scroll_.onWheel(window_, static_cast<short>(HIWORD(wParam)));
            return true;
        case WM_NEXTDLGCTL:
            if (scroll_.scrolls()) PostMessageW(window_, kRevealFocus, 0, 0);
            return false;
        case kRevealFocus: scroll_.reveal(window_, GetFocus()); return true;
        default: return false;
    }
}

INT_PTR CALLBACK DialogWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        self->window_ = window;
        self->scaling_.noteCreation(window, self->templateHeight_);
        self->scroll_ = DialogScroll();  // a dialog made again (About) is fitted again
        keepDpiLayoutToCode(window);
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    if (self->onLayoutMessage(message, wParam, lParam)) return TRUE;
    const INT_PTR result = self->onMessage(message, wParam, lParam);
    if (message == WM_INITDIALOG) self->scroll_.fit(window, self->templateHeight_);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

}  // namespace velmora
