#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <vector>

#include "platform/win32/SystemFailure.h"
#include "platform/win32/SystemLibrary.h"

namespace velmora {

int Win32Processes::runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                     unsigned waitMs) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (program.empty() || !CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, TRUE,
                                           NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, waitMs);
    // Still running after the wait reads as STILL_ACTIVE (259).
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

Outcome Win32Processes::openDocument(const std::string& path) {
    // shell32 loads here, at first use, not with the program.
    using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    const auto shellExecute = systemFunctionAs<ShellExecuteFunction>("shell32.dll", "ShellExecuteA");
    if (!shellExecute) return systemFailure("ShellExecuteA", ERROR_PROC_NOT_FOUND);
    comReady();  // the shell may hand the document to a COM handler
    const auto result = reinterpret_cast<INT_PTR>(shellExecute(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // ShellExecute reports success as a value above 32.
    if (result <= 32) return systemFailure("ShellExecuteA", static_cast<DWORD>(result));
    return std::nullopt;
}

}  // namespace velmora
