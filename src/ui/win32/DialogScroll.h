#pragma once
#include <windows.h>

namespace velmora {

// A dialog taller than the work area of its screen (a small screen at a high
// scaling) is made as tall as that work area, and its client area scrolls:
// by the scroll bar, the mouse wheel, and to whichever control takes the
// focus. One that fits is left exactly as it is.
class DialogScroll {
public:
    // Fits the dialog to its screen. Windows makes a window no taller than the screen, so what the
    // dialog needs is read from its template's height (dialog units) too.
    void fit(HWND dialog, int templateHeight);
    // Back to the top and to the full size, before the dialog is laid out again.
    void release(HWND dialog);
    bool scrolls() const { return content_ > 0; }
    // WM_VSCROLL from the dialog's own scroll bar, and WM_MOUSEWHEEL.
    void onScrollBar(HWND dialog, WORD request);
    void onWheel(HWND dialog, short delta);
    void reveal(HWND dialog, HWND control);

private:
    void scrollTo(HWND dialog, int offset);
    int lineStep() const { return page_ / 20 + 1; }  // a line of the scroll bar, a twentieth of the view

    int content_ = 0;  // the client height the dialog needs; 0 while it fits
    int page_ = 0;     // the client height it has
    int offset_ = 0;
};

}  // namespace velmora
