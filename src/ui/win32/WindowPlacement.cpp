#include "ui/win32/WindowPlacement.h"

#include <algorithm>

namespace velmora {

namespace {

void moveCentredOver(HWND window, const RECT& outer) {
    RECT inner{};
    GetWindowRect(window, &inner);
    const int width = inner.right - inner.left;
    const int height = inner.bottom - inner.top;
    int left = outer.left + ((outer.right - outer.left) - width) / 2;
    int top = outer.top + ((outer.bottom - outer.top) - height) / 2;
    // Within the work area of the screen the other stands on most; a taller window keeps its title bar on it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromRect(&outer, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::max(static_cast<int>(work.left), std::min(left, static_cast<int>(work.right) - width));
        top = std::max(static_cast<int>(work.top), std::min(top, static_cast<int>(work.bottom) - height));
    }
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void centerOver(HWND window, HWND over) {
    RECT outer{}, before{}, after{};
    GetWindowRect(over, &outer);
    GetWindowRect(window, &before);
    moveCentredOver(window, outer);
    // Moved onto a screen of another DPI, it has laid itself out at another size: centre that.
    GetWindowRect(window, &after);
    if (after.right - after.left != before.right - before.left ||
        after.bottom - after.top != before.bottom - before.top)
        moveCentredOver(window, outer);
}

int twipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

}  // namespace velmora
