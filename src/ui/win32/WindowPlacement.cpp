#include "ui/win32/WindowPlacement.h"

namespace velmora {

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

int twipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

}  // namespace velmora
