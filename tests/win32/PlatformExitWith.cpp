// exitwith CODE [SLEEP_MS [FILE]]: sleeps, creates FILE (the rest of the line), then exits with CODE.
// exitwith showwindow: exits with the show-window value it was started with,
// or 100 when none was given.
// It reads its arguments through Win32Environment, so that parsing of the
// real command line is exercised too.
#include <windows.h>

#include <sstream>
#include <string>

#include "platform/win32/Win32Environment.h"

int main() {
    std::istringstream arguments(velmora::Win32Environment().commandLineArguments());
    std::string code, file;
    unsigned long sleepMs = 0;
    arguments >> code >> sleepMs;
    std::getline(arguments >> std::ws, file);
    if (code == "showwindow") {
        STARTUPINFOA startup{};
        GetStartupInfoA(&startup);
        return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : 100;
    }
    Sleep(sleepMs);
    if (!file.empty()) CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return code.empty() ? 99 : std::stoi(code);
}
