#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace velmora {
namespace {

// Starts the command line hidden; the caller closes both handles.
std::optional<PROCESS_INFORMATION> startProcess(const std::string& commandLine, const std::string& workingFolder) {
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr,
                        workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process))
        return std::nullopt;
    return process;
}

void closeHandles(const PROCESS_INFORMATION& process) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

int Win32Processes::runHiddenAndWait(const std::string& commandLine, unsigned waitMs) {
    auto process = startProcess(commandLine, "");
    if (!process) return -1;
    WaitForSingleObject(process->hProcess, waitMs);
    // Still running after the wait reads as STILL_ACTIVE (259).
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(process->hProcess, &exitCode);
    closeHandles(*process);
    return static_cast<int>(exitCode);
}

void Win32Processes::startHidden(const std::string& commandLine, const std::string& workingFolder) {
    if (auto process = startProcess(commandLine, workingFolder)) closeHandles(*process);
}

}  // namespace velmora
