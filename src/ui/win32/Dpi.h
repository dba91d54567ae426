#pragma once
#include <windows.h>

namespace velmora {

constexpr UINT kDesignDpi = 96;

// The DPI a window is drawn at. Windows before 10 has no per-window DPI; there
// the screen's counts.
UINT dpiOf(HWND window);

// A system metric (icon sizes) at a DPI.
int systemMetricAt(int index, UINT dpi);

// The font tool tips use at a DPI: the status font of the system's
// non-client metrics.
bool statusFontAt(UINT dpi, LOGFONTW& font);

// A dialog whose code lays it out again itself when its DPI changes, instead
// of the dialog manager's own scaling.
void keepDpiLayoutToCode(HWND dialog);

// The window rectangle around a client area of this size at a DPI.
SIZE windowSizeFor(HWND window, SIZE client, UINT dpi);

}  // namespace velmora
