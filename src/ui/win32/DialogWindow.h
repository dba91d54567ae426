#pragma once
#include <windows.h>

#include <vector>

#include "ui/win32/DialogScaling.h"
#include "ui/win32/DialogScroll.h"

namespace velmora {

// A modeless dialog made from its template, whose messages go to the object
// behind it. Each lays itself out afresh when it moves to a screen of
// another DPI, every control keeping its place in dialog units, and scrolls
// where its screen is too small for it.
class DialogWindow {
public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;
    virtual ~DialogWindow();

    HWND handle() const { return window_; }

protected:
    bool create(HINSTANCE instance, int templateId, HWND owner);
    virtual INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    virtual void onDpiChanged(UINT dpi, const RECT* suggested);
    HWND item(int id) const { return GetDlgItem(window_, id); }
    // Shown over its owner, which takes no input meanwhile, nor does another
    // dialog of the owner's beside it (the Open dialog, which would change
    // the configuration under this one); the cursor in the control given.
    // Hidden again with the owner active before it.
    void showOverOwner(HWND owner, int focusId);
    void hideForOwner(HWND owner);
    // Shown beside its owner, which goes on taking input; made active or not.
    void showBeside(HWND owner, bool activate);

    HWND window_ = nullptr;

private:
    // A hidden dialog comes up centred over its owner, wherever that stands
    // now (another monitor, perhaps); a shown one stays where the user put it.
    void placeOver(HWND owner);
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Sends on what the dialog itself keeps: its layout for a DPI, its fit to the screen; true when handled.
    bool onLayoutMessage(UINT message, WPARAM wParam, LPARAM lParam);
    DialogScaling scaling_;
    DialogScroll scroll_;
    int templateHeight_ = 0;
    std::vector<HWND> heldBack_;  // the owner's other windows this one disabled
};

}  // namespace velmora
