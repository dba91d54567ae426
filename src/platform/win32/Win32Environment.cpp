#include "platform/win32/Win32Environment.h"

#include <windows.h>

#include "platform/win32/CommandLine.h"

namespace velmora {

std::string Win32Environment::variable(const std::string& name) {
    std::string value;
    DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    // The variable may change between the two calls; ask until it fits.
    while (needed > value.size()) {
        value.resize(needed);
        needed = GetEnvironmentVariableA(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
    }
    value.resize(needed);
    return value;
}

std::string Win32Environment::programFolder() {
    std::string path(MAX_PATH, '\0');
    DWORD length = 0;
    // A path that fills the buffer may have been cut: try a bigger one.
    while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    const auto slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Win32Environment::systemFolder() {
    std::string folder(MAX_PATH, '\0');
    UINT length = GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetSystemDirectoryA(folder.data(), static_cast<UINT>(folder.size()));
    }
    folder.resize(length < folder.size() ? length : 0);
    return folder;
}

std::string Win32Environment::absolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::string full(MAX_PATH, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return full;
}

std::string Win32Environment::commandLineArguments() { return argumentsAfterProgram(GetCommandLineA()); }

}  // namespace velmora
