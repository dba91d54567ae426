#include "platform/win32/WideText.h"

#include <windows.h>

#include "platform/Text.h"

namespace velmora {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 code units");

std::wstring wide(const std::string& utf8) {
    const std::u16string units = toUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(const std::wstring& utf16) { return fromUtf16(std::u16string(utf16.begin(), utf16.end())); }

std::string narrow(const wchar_t* utf16) { return utf16 ? narrow(std::wstring(utf16)) : std::string(); }

std::string narrowFromCodePage(const std::string& bytes, unsigned int codePage) {
    // No byte makes more than one UTF-16 unit.
    const int size = static_cast<int>(bytes.size());
    std::wstring text(bytes.size(), L'\0');
    const int converted = MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), size);
    if (converted > 0 || bytes.empty()) {
        text.resize(static_cast<std::size_t>(converted));
    } else {
        text.clear();
        for (unsigned char byte : bytes) text += static_cast<wchar_t>(byte);
    }
    return narrow(text);
}

}  // namespace velmora
