#pragma once
#include <windows.h>

#include "platform/MessageBoxes.h"

namespace velmora {

// Modal message boxes over the window the UI names as their owner.
class Win32MessageBoxes : public MessageBoxes {
public:
    int show(const std::string& text, int buttons, const std::string& title) override;
    void setOwner(HWND owner) { owner_ = owner; }

private:
    HWND owner_ = nullptr;
};

}  // namespace velmora
