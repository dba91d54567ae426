#include "platform/win32/SystemFailure.h"

#include <cwctype>
#include <iterator>

#include "platform/win32/WideText.h"

namespace velmora {

Failure systemFailure(const std::string& source, DWORD errorCode) {
    wchar_t text[1024] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode, 0,
                                  text, static_cast<DWORD>(std::size(text)), nullptr);
    while (length > 0 && std::iswspace(text[length - 1])) --length;
    std::string description = narrow(std::wstring(text, length));
    if (description.empty()) description = "Error " + std::to_string(errorCode);
    return Failure{source, description, static_cast<long>(errorCode)};
}

}  // namespace velmora
