#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace velmora {

// A window's or control's text, UTF-8 on our side of the call.
std::string textOf(HWND window);
void setTextOf(HWND window, const std::string& text);
// The entry chosen in a combo box's list (its edit box may not show it yet); nothing when none is.
std::optional<std::string> chosenComboEntry(HWND combo);

}  // namespace velmora
