#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "ui/win32/DialogWindow.h"

namespace velmora {

// "Account Password": asks for a named account's password, modal to the
// owner; nothing when the user cancels. What was typed is wiped from the
// box and from memory we own. Laid out afresh on a screen of another DPI.
class PasswordPrompt : public DialogWindow {
public:
    std::optional<std::string> ask(HINSTANCE instance, HWND owner, const std::string& account);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void finish(bool given);

    std::optional<std::string> password_;
    bool answered_ = false;
};

}  // namespace velmora
