#include "platform/win32/Win32Environment.h"

#include <windows.h>

#include "platform/win32/CommandLine.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

// Calls that answer with the length they need when the buffer is too small,
// and with the length they wrote (without NUL) otherwise; asked until it fits,
// as the answer may change between two calls.
template <typename Call>
std::wstring grownText(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length > text.size() ? length : text.size() * 2);
    }
}

}  // namespace

std::string Win32Environment::variable(const std::string& name) {
    const std::wstring wideName = wide(name);
    return narrow(grownText(
        [&](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(wideName.c_str(), buffer, size); }));
}

std::string Win32Environment::programFolder() {
    // A path that fills the buffer may have been cut: GetModuleFileNameW
    // answers the buffer's size then, which asks for a bigger one.
    const std::wstring path =
        grownText([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
    const auto slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::string() : narrow(path.substr(0, slash));
}

std::string Win32Environment::systemFolder() {
    return narrow(grownText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); }));
}

std::string Win32Environment::absolutePath(const std::string& path) {
    if (path.empty()) return path;
    const std::wstring widePath = wide(path);
    const std::wstring full = grownText(
        [&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(widePath.c_str(), size, buffer, nullptr); });
    return full.empty() ? path : narrow(full);
}

std::string Win32Environment::commandLineArguments() { return argumentsAfterProgram(narrow(GetCommandLineW())); }

}  // namespace velmora

namespace velmora {

bool Win32Environment::ansiCodePageHolds(const std::string& text) {
    // UTF-8 as the code page for non-Unicode programs holds everything; Windows refuses the default-character
    // flag for it.
    if (GetACP() == CP_UTF8 || text.empty()) return true;
    const std::wstring utf16 = wide(text);
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, utf16.c_str(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, &usedDefault);
    return size > 0 && !usedDefault;
}

bool Win32Environment::elevated() {
    Handle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.receive())) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

}  // namespace velmora
