#include "platform/win32/AnsiText.h"

#include <windows.h>

namespace velmora {

namespace {

std::optional<std::wstring> wide(UINT codePage, DWORD flags, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, result.data(), length);
    return result;
}

std::optional<std::string> narrow(UINT codePage, const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    // UTF-8 takes neither the flag nor the lossy report.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* report = codePage == CP_UTF8 ? nullptr : &lossy;
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, report);
    if (length <= 0 || lossy) return std::nullopt;
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, result.data(), length, nullptr, report);
    return result;
}

}  // namespace

std::string ansiToUtf8(const std::string& text) {
    auto utf16 = wide(CP_ACP, 0, text);
    auto utf8 = utf16 ? narrow(CP_UTF8, *utf16) : std::nullopt;
    return utf8.value_or(text);
}

std::optional<std::string> utf8ToAnsi(const std::string& text) {
    auto utf16 = wide(CP_UTF8, MB_ERR_INVALID_CHARS, text);
    return utf16 ? narrow(CP_ACP, *utf16) : std::nullopt;
}

}  // namespace velmora
