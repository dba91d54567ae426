#include "platform/win32/Win32Environment.h"

#include <algorithm>

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

namespace {
// The machine's, which the wrapper and its JVM run with: velmora-cli's manifest makes its own process's UTF-8.
UINT readMachineAnsiCodePage() {
    wchar_t text[16] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage", L"ACP", RRF_RT_REG_SZ,
                     nullptr, text, &size) == ERROR_SUCCESS) {
        UINT number = 0;
        for (const wchar_t* digit = text; *digit >= L'0' && *digit <= L'9'; ++digit)
            number = number * 10 + (*digit - L'0');
        if (number > 0) return number;
    }
    return GetACP();
}

// Set at setup, taken at boot: read once.
UINT machineAnsiCodePage() {
    static const UINT codePage = readMachineAnsiCodePage();
    return codePage;
}
}  // namespace

bool Win32Environment::ansiCodePageHolds(const std::string& text) {
    // Every ANSI code page holds ASCII: the usual value is judged without a call. An import asks this of each
    // value of each configuration.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return true;
    const UINT codePage = machineAnsiCodePage();
    // UTF-8 as that code page holds everything; Windows refuses the default-character flag for it.
    if (codePage == CP_UTF8) return true;
    const std::wstring utf16 = wide(text);
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, utf16.c_str(), static_cast<int>(utf16.size()),
                                         nullptr, 0, nullptr, &usedDefault);
    // A code page Windows cannot convert to is not judged.
    return size == 0 || !usedDefault;
}

std::string Win32Environment::fromAnsiCodePage(const std::string& bytes) {
    return narrowFromCodePage(bytes, machineAnsiCodePage());
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
