#pragma once
#include <windows.h>

namespace velmora {

// A tool tip control for the controls of one window. Each tool subclasses
// its control, so no mouse messages need relaying; labels need SS_NOTIFY to
// see the mouse at all.
HWND createToolTipControl(HINSTANCE instance, HWND owner);
void addToolTip(HWND toolTip, HWND owner, int controlId, const wchar_t* text);
// Long tips wrap at a width that follows the DPI.
void setToolTipDpi(HWND toolTip, UINT dpi);

}  // namespace velmora
