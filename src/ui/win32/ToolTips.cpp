#include "ui/win32/ToolTips.h"

#include <commctrl.h>

namespace velmora {

namespace {
constexpr int kMaxTipWidth = 320;  // pixels at 96 DPI; long tips wrap instead of crossing the screen
}

HWND createToolTipControl(HINSTANCE instance, HWND owner) {
    HWND toolTip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
    return toolTip;
}

void setToolTipDpi(HWND toolTip, UINT dpi) {
    SendMessageW(toolTip, TTM_SETMAXTIPWIDTH, 0, MulDiv(kMaxTipWidth, static_cast<int>(dpi), 96));
}

void addToolTip(HWND toolTip, HWND owner, int controlId, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(owner, controlId));
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace velmora
