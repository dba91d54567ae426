// velmora-cli.exe: the command line over the real platform.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "platform/Text.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Platform.h"

namespace {

// A named account's password: the standard input when asked for (all of it
// from a pipe, one line from the console), else typed at the console without
// being shown; never echoed or kept.
std::optional<std::string> readPassword(const std::string& account, bool fromStandardInput) {
    using namespace velmora;
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    const bool console = GetConsoleMode(input, &mode);
    if (!console) {
        if (!fromStandardInput) return std::nullopt;
        std::string line;
        char byte = 0;
        DWORD read = 0;
        while (ReadFile(input, &byte, 1, &read, nullptr) && read) line += byte;
        return line;
    }
    if (!fromStandardInput) std::cerr << "Password for " << account << ": " << std::flush;
    SetConsoleMode(input, mode & ~ENABLE_ECHO_INPUT);
    std::wstring line;
    wchar_t unit = 0;
    DWORD read = 0;
    while (ReadConsoleW(input, &unit, 1, &read, nullptr) && read && unit != L'\n')
        if (unit != L'\r') line += unit;
    SetConsoleMode(input, mode);
    if (!fromStandardInput) std::cerr << std::endl;
    return narrow(line);
}

std::atomic<const velmora::Win32CommandLock*> runningChange{nullptr};

// The console's own output code page while the program has it switched to
// UTF-8 (0: not switched). It goes back however the program ends, for what a
// script runs next: at the end of wmain, in the console handler before the
// default one ends the process, and when an exception ends it.
std::atomic<UINT> consoleCodePage{0};

void restoreConsoleCodePage() {
    if (const UINT page = consoleCodePage.exchange(0)) SetConsoleOutputCP(page);
}

std::terminate_handler previousTerminate = nullptr;

[[noreturn]] void onTerminate() {
    restoreConsoleCodePage();
    if (previousTerminate) previousTerminate();
    std::abort();
}

// Ctrl+C or Ctrl+Break while a command changes a service or the store would
// cut it off between two steps (a service removed, not yet installed again):
// it finishes first, as the window's does when it is closed. Any other time
// the default handler ends the process, which never returns to wmain.
BOOL WINAPI onConsoleControl(DWORD event) {
    const velmora::Win32CommandLock* change = runningChange;
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) || !change || !change->held()) {
        restoreConsoleCodePage();
        return FALSE;
    }
    static std::atomic<bool> told{false};
    if (!told.exchange(true)) {
        static const char text[] =
            "velmora-cli: the running command finishes first (a start or stop at most its timeout and 30 seconds "
            "more).\r\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, sizeof text - 1, &written, nullptr);
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace velmora;
    // Everything printed is UTF-8, and the console shows it so; the console gets its own code page back, for
    // what a script runs next.
    consoleCodePage = GetConsoleOutputCP();
    previousTerminate = std::set_terminate(onTerminate);
    SetConsoleOutputCP(CP_UTF8);
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(fromUtf16(std::u16string(reinterpret_cast<const char16_t*>(argv[i]))));

    Win32Platform system;
    runningChange = &system.commandLock;
    cli::ConsoleFrontEnd frontEnd(std::cout, std::cerr, readPassword);
    DebugLog debugLog(system.files);
    Program program(system.platform, frontEnd, debugLog, SetterChecks::Always);
    cli::CliSession cli{program, frontEnd, std::cout, std::cerr};
    const int code = cli::runCommandLine(arguments, cli);
    std::cout.flush();
    restoreConsoleCodePage();
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    return code;
}
