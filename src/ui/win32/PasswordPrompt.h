#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace velmora {

// Asks for a named account's password, modal to the owner; nothing when the
// user cancels. What was typed is wiped from the box and from memory we own.
std::optional<std::string> askPassword(HINSTANCE instance, HWND owner, const std::string& account);

}  // namespace velmora
