#include "platform/win32/WideText.h"

#include "platform/Text.h"

namespace velmora {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

std::wstring wide(const std::string& utf8) {
    const std::u16string units = toUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(const std::wstring& utf16) { return fromUtf16(std::u16string(utf16.begin(), utf16.end())); }

std::string narrow(const wchar_t* utf16) { return utf16 ? narrow(std::wstring(utf16)) : std::string(); }

}  // namespace velmora
