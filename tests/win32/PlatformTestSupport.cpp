#include "PlatformTestSupport.h"

#include <windows.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/win32/Win32Environment.h"

namespace velmora::test {

TempFolder::TempFolder() {
    static int counter = 0;
    const auto name = "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    path_ = (std::filesystem::temp_directory_path() / name).string();
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string quotedHelper() {
    std::string quoted(1, '"');
    quoted += Win32Environment().programFolder();
    quoted += "\\exitwith.exe\"";
    return quoted;
}

int endRunningChildren(const std::string& exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int ended = 0;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId() || lstrcmpiA(entry.szExeFile, exeName.c_str()) != 0)
            continue;
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (!process) continue;
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
            ++ended;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return ended;
}

}  // namespace velmora::test
