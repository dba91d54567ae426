#include "ui/win32/WindowPlacement.h"

namespace velmora {

namespace {

int screenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return dpi;
}

}  // namespace

void centerOver(HWND window, HWND over) {
    RECT outer{}, inner{};
    GetWindowRect(over, &outer);
    GetWindowRect(window, &inner);
    const int width = inner.right - inner.left;
    const int height = inner.bottom - inner.top;
    const int left = outer.left + ((outer.right - outer.left) - width) / 2;
    const int top = outer.top + ((outer.bottom - outer.top) - height) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int twipsToPixelsX(int twips) { return MulDiv(twips, screenDpi(LOGPIXELSX), 1440); }
int twipsToPixelsY(int twips) { return MulDiv(twips, screenDpi(LOGPIXELSY), 1440); }

}  // namespace velmora
