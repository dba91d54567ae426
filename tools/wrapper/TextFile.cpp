#include "TextFile.h"

#include <windows.h>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora::wrapper {

namespace {

// Logs are opened as the JVM and the wrapper open theirs: another process may
// write to them meanwhile (two services of one base share the day's logs).
constexpr DWORD kLogSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

bool writeLines(const std::string& path, DWORD disposition, DWORD from, const std::vector<std::string>& lines,
                DWORD sharing = kLogSharing) {
    if (path.empty()) return false;
    const Handle file(
        CreateFileW(wide(path).c_str(), GENERIC_WRITE, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || SetFilePointer(file.get(), 0, nullptr, from) == INVALID_SET_FILE_POINTER) return false;
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

bool replaceWithLines(const std::string& path, const std::vector<std::string>& lines) {
    return writeLines(path, CREATE_ALWAYS, FILE_BEGIN, lines);
}

bool appendLines(const std::string& path, const std::vector<std::string>& lines) {
    return writeLines(path, OPEN_ALWAYS, FILE_END, lines);
}

Handle holdForWriting(const std::string& path) {
    if (path.empty()) return Handle();
    return Handle(CreateFileW(wide(path).c_str(), GENERIC_WRITE, kLogSharing, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

void noteRunForTests() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"VELMORA_TEST_WRAPPER_RUNS", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    // Runs that overlap wait for each other: the file is opened without sharing.
    for (int attempt = 0; attempt < 100 && !writeLines(narrow(path), OPEN_ALWAYS, FILE_END, {narrow(GetCommandLineW())},
                                                       FILE_SHARE_READ);
         ++attempt)
        Sleep(20);
}

}  // namespace velmora::wrapper
