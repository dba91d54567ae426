// exitwith CODE: exits with CODE.
// exitwith say TEXT: writes TEXT to its standard output and error, exits with 3.
// exitwith ansi: writes "J\xFCrgen", ü in the Windows code page 1252, as Java
// writes a path into a pipe, and exits with 0.
// exitwith windows: exits with 0 when it was told to keep its windows hidden
// (what ShowWindow(SW_SHOWDEFAULT) obeys on Windows; Wine 8 shows the window
// anyway) and has no visible console window; +1 for a visible console window,
// +2 when it was not told to hide.
// exitwith leave: starts "exitwith write", which inherits its standard
// output, and exits with 0 at once.
// exitwith write: writes to its standard output every millisecond for 8 s.
// It reads its arguments through Win32Environment, so that parsing of the
// real command line is exercised too.
#include <windows.h>

#include <sstream>
#include <string>

#include "platform/win32/Win32Environment.h"

namespace {

int visibleWindows() {
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const bool toldToHide = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
    const HWND console = GetConsoleWindow();
    return (console && IsWindowVisible(console) ? 1 : 0) + (toldToHide ? 0 : 2);
}

// A grandchild of whoever started this one, holding on to its output.
int leaveWriter() {
    wchar_t self[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" write";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started))
        return 98;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return 0;
}

}  // namespace

int main() {
    std::istringstream arguments(velmora::Win32Environment().commandLineArguments());
    std::string code;
    arguments >> code;
    if (code == "say") {
        std::string text;
        std::getline(arguments >> std::ws, text);
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), "!", 1, &written, nullptr);
        return 3;
    }
    if (code == "ansi") {
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "J\xFCrgen", 6, &written, nullptr);
        return 0;
    }
    if (code == "windows") return visibleWindows();
    if (code == "leave") return leaveWriter();
    if (code == "write") {
        const ULONGLONG until = GetTickCount64() + 8000;
        DWORD written = 0;
        while (GetTickCount64() < until) {
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "x", 1, &written, nullptr);
            Sleep(1);
        }
        return 0;
    }
    return code.empty() ? 99 : std::stoi(code);
}
