// exitwith CODE: exits with CODE.
// exitwith say TEXT: writes TEXT to its standard output and error, exits with 3.
// exitwith windows: exits with 0 when it was told to keep its windows hidden
// (what ShowWindow(SW_SHOWDEFAULT) obeys on Windows; Wine 8 shows the window
// anyway) and has no visible console window; +1 for a visible console window,
// +2 when it was not told to hide.
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
    if (code == "windows") return visibleWindows();
    return code.empty() ? 99 : std::stoi(code);
}
