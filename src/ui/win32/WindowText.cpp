#include "ui/win32/WindowText.h"

#include "platform/win32/WideText.h"

namespace velmora {

std::string textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void setTextOf(HWND window, const std::string& text) { SetWindowTextW(window, wide(text).c_str()); }

}  // namespace velmora
