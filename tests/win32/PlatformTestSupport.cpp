#include "PlatformTestSupport.h"

#include <windows.h>

#include <filesystem>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Environment.h"

namespace velmora::test {

TempFolder::TempFolder() {
    static int counter = 0;
    const auto name = L"velmora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    const auto folder = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder);
    path_ = narrow(folder.wstring());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(wide(path_), ignored);
}

std::string contentOf(const std::string& path) {
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    std::string content;
    char chunk[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) content.append(chunk, read);
    return content;
}

void createWithContent(const std::string& path, const std::string& content) {
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

std::string quotedHelper() {
    std::string quoted(1, '"');  // appended in place: GCC 12 warns falsely of overlap for "\"" + text
    return quoted.append(Win32Environment().programFolder()).append("\\exitwith.exe\"");
}

}  // namespace velmora::test
