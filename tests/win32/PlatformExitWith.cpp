// exitwith CODE [SLEEP_MS [FILE]]: writes "started" into FILE (the rest of the
// line), sleeps, adds " done", then exits with CODE.
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

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Environment.h"

namespace {

int visibleWindows() {
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    const bool toldToHide = (startup.dwFlags & STARTF_USESHOWWINDOW) && startup.wShowWindow == SW_HIDE;
    const HWND console = GetConsoleWindow();
    return (console && IsWindowVisible(console) ? 1 : 0) + (toldToHide ? 0 : 2);
}

void write(const std::string& file, const char* text, DWORD disposition) {
    const velmora::Handle handle(
        CreateFileW(velmora::wide(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, disposition, 0, nullptr));
    DWORD written = 0;
    WriteFile(handle.get(), text, static_cast<DWORD>(std::string(text).size()), &written, nullptr);
}

}  // namespace

int main() {
    std::istringstream arguments(velmora::Win32Environment().commandLineArguments());
    std::string code, file;
    unsigned long sleepMs = 0;
    arguments >> code;
    if (code == "say") {
        std::string text;
        std::getline(arguments >> std::ws, text);
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), "!", 1, &written, nullptr);
        return 3;
    }
    arguments >> sleepMs;
    std::getline(arguments >> std::ws, file);
    if (code == "windows") return visibleWindows();
    if (!file.empty()) write(file, "started", CREATE_ALWAYS);
    Sleep(sleepMs);
    if (!file.empty()) write(file, " done", OPEN_EXISTING);
    return code.empty() ? 99 : std::stoi(code);
}
