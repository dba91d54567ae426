#include "ui/win32/DialogWindow.h"

#include "ui/win32/Dpi.h"
#include "ui/win32/WindowPlacement.h"

namespace velmora {

DialogWindow::~DialogWindow() {
    if (window_) DestroyWindow(window_);
}

bool DialogWindow::create(HINSTANCE instance, int templateId, HWND owner) {
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

INT_PTR CALLBACK DialogWindow::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DialogWindow*>(lParam);
        self->window_ = window;
        self->scaling_.noteCreation(window);
        keepDpiLayoutToCode(window);
    }
    auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_DPICHANGED) {
        self->onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    }
    const INT_PTR result = self->onMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    return result;
}

}  // namespace velmora
