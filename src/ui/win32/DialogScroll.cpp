#include "ui/win32/DialogScroll.h"

#include <algorithm>

#include "ui/ScrollView.h"
#include "ui/win32/DialogScaling.h"
#include "ui/win32/Dpi.h"

namespace velmora {

void DialogScroll::fit(HWND dialog, int templateHeight) {
    if (scrolls()) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT whole{}, client{};
    if (!GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !GetWindowRect(dialog, &whole) || !GetClientRect(dialog, &client))
        return;
    const RECT& work = monitor.rcWork;
    const int room = work.bottom - work.top;
    // A window is made no taller than its screen: one shorter than the work area is whole and fits.
    if (whole.bottom - whole.top < room) return;
    const int content = clientHeightNeeded(dialog, templateHeight);
    const UINT dpi = dpiOf(dialog);
    if (windowSizeFor(dialog, SIZE{client.right, content}, dpi).cy <= room) return;
    content_ = content;
    offset_ = 0;
    // The scroll bar takes its width beside the controls, not over them.
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_VSCROLL);
    const int width = whole.right - whole.left + systemMetricAt(SM_CXVSCROLL, dpi);
    const int left = std::max(work.left, std::min(whole.left, work.right - width));
    SetWindowPos(dialog, nullptr, left, work.top, width, room, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(dialog, &client);
    page_ = client.bottom;
    SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE | SIF_POS, 0, content_ - 1, static_cast<UINT>(page_), 0, 0};
    SetScrollInfo(dialog, SB_VERT, &bar, TRUE);
}

void DialogScroll::release(HWND dialog) {
    if (!scrolls()) return;
    scrollTo(dialog, 0);
    RECT whole{}, client{};
    GetWindowRect(dialog, &whole);
    GetClientRect(dialog, &client);
    ShowScrollBar(dialog, SB_VERT, FALSE);
    SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) & ~WS_VSCROLL);
    const SIZE full = windowSizeFor(dialog, SIZE{client.right, content_}, dpiOf(dialog));
    SetWindowPos(dialog, nullptr, 0, 0, full.cx, full.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    content_ = page_ = 0;
}

void DialogScroll::onScrollBar(HWND dialog, WORD request) {
    if (!scrolls()) return;
    switch (request) {
        case SB_LINEUP: scrollTo(dialog, offset_ - lineStep()); break;
        case SB_LINEDOWN: scrollTo(dialog, offset_ + lineStep()); break;
        case SB_PAGEUP: scrollTo(dialog, offset_ - page_); break;
        case SB_PAGEDOWN: scrollTo(dialog, offset_ + page_); break;
        case SB_TOP: scrollTo(dialog, 0); break;
        case SB_BOTTOM: scrollTo(dialog, content_); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO bar{sizeof bar, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            if (GetScrollInfo(dialog, SB_VERT, &bar)) scrollTo(dialog, bar.nTrackPos);
            break;
        }
        default: break;
    }
}

void DialogScroll::onWheel(HWND dialog, short delta) {
    if (!scrolls()) return;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    const int step = lines == WHEEL_PAGESCROLL ? page_ : static_cast<int>(lines) * lineStep();
    scrollTo(dialog, offset_ - MulDiv(delta, step, WHEEL_DELTA));
}

void DialogScroll::reveal(HWND dialog, HWND control) {
    if (!scrolls() || !control || !IsChild(dialog, control)) return;
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    scrollTo(dialog, offsetRevealing(offset_, page_, content_, at.top + offset_, at.bottom + offset_));
}

void DialogScroll::scrollTo(HWND dialog, int offset) {
    offset = clampedOffset(offset, page_, content_);
    if (offset == offset_) return;
    ScrollWindowEx(dialog, 0, offset_ - offset, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    offset_ = offset;
    SetScrollPos(dialog, SB_VERT, offset_, TRUE);
}

}  // namespace velmora
