#include "PlatformTestSupport.h"

#include <windows.h>

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
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

std::string quotedHelper() {
    std::string quoted(1, '"');
    return quoted.append(Win32Environment().programFolder()).append("\\exitwith.exe\"");
}

}  // namespace velmora::test
