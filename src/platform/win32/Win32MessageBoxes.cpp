#include "platform/win32/Win32MessageBoxes.h"

namespace velmora {

int Win32MessageBoxes::show(const std::string& text, int buttons, const std::string& title) {
    return MessageBoxA(owner_, text.c_str(), title.c_str(), static_cast<UINT>(buttons));
}

}  // namespace velmora
