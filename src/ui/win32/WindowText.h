#pragma once
#include <windows.h>

#include <string>

namespace velmora {

// A window's or control's text, UTF-8 on our side of the call.
std::string textOf(HWND window);
void setTextOf(HWND window, const std::string& text);

}  // namespace velmora
