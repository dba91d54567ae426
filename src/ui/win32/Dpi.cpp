#include "ui/win32/Dpi.h"

#include "platform/win32/Handles.h"

namespace velmora {

namespace {

// Looked up by name: on Windows 7 and 8 user32 has none of these, and an
// import would keep the program from starting there.
template <typename Function>
Function user32Function(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

UINT screenDpi() {
    const ScreenDc screen(GetDC(nullptr));
    return static_cast<UINT>(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

}  // namespace

UINT dpiOf(HWND window) {
    static const auto forWindow = user32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : screenDpi();
}

int systemMetricAt(int index, UINT dpi) {
    static const auto forDpi = user32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi)
                  : MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(screenDpi()));
}

bool statusFontAt(UINT dpi, LOGFONTW& font) {
    static const auto forDpi =
        user32Function<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (forDpi ? !forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)
               : !SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return false;
    font = metrics.lfStatusFont;
    if (!forDpi) font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
    return true;
}

void keepDpiLayoutToCode(HWND dialog) {
    // DDC_DISABLE_ALL: neither new fonts nor new places from the dialog manager.
    static const auto behaviour = user32Function<BOOL(WINAPI*)(HWND, int, int)>("SetDialogDpiChangeBehavior");
    if (behaviour) behaviour(dialog, 1, 1);
}

SIZE windowSizeFor(HWND window, SIZE client, UINT dpi) {
    static const auto forDpi =
        user32Function<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT rect{0, 0, client.cx, client.cy};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL menu = GetMenu(window) != nullptr;
    if (!forDpi || !forDpi(&rect, style, menu, exStyle, dpi)) AdjustWindowRectEx(&rect, style, menu, exStyle);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace velmora
