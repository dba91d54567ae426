#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/SystemFailure.h"

namespace velmora {
namespace {

// INVALID_FILE_ATTRIBUTES for an empty path too, which the system would
// otherwise resolve to the current directory.
DWORD attributesOf(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
}

Outcome writeThrough(HANDLE file, const std::string& text) {
    if (file == INVALID_HANDLE_VALUE) return lastErrorFailure("CreateFileA");
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    const Outcome outcome = ok ? Outcome() : Outcome(lastErrorFailure("WriteFile"));
    CloseHandle(file);
    return outcome;
}

}  // namespace

bool Win32Files::fileExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::folderExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Outcome Win32Files::copyFile(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return lastErrorFailure("CopyFileA");
    return std::nullopt;
}

Outcome Win32Files::deleteFileForced(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        // Zero would mean "leave unchanged" further down; NORMAL stands alone.
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        SetFileAttributesA(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    if (!DeleteFileA(path.c_str())) return lastErrorFailure("DeleteFileA");
    return std::nullopt;
}

Outcome Win32Files::writeText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return writeThrough(file, text);
}

Outcome Win32Files::appendText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return writeThrough(file, text);
}

Outcome Win32Files::createFolders(const std::string& path) {
    if (path.empty()) return systemFailure("CreateDirectoryA", ERROR_PATH_NOT_FOUND);
    // Each level in turn, from the top; levels that exist already are passed.
    for (std::size_t at = path.find_first_of("\\/", 0); ; at = path.find_first_of("\\/", at + 1)) {
        const std::string level = path.substr(0, at);
        if (!level.empty() && level.back() != ':' && !folderExists(level) && !CreateDirectoryA(level.c_str(), nullptr)) {
            const DWORD error = GetLastError();
            // The first levels of a network path cannot be created, only reached.
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED && error != ERROR_BAD_NETPATH &&
                error != ERROR_INVALID_NAME)
                return systemFailure("CreateDirectoryA", error);
        }
        if (at == std::string::npos) break;
    }
    if (!folderExists(path)) return systemFailure("CreateDirectoryA", ERROR_PATH_NOT_FOUND);
    return std::nullopt;
}

std::optional<std::string> Win32Files::readBytes(const std::string& path, std::size_t maxBytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string data;
    char chunk[65536];
    bool ok = true;
    while (data.size() < maxBytes) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, maxBytes - data.size()));
        if (!ReadFile(file, chunk, wanted, &read, nullptr)) {
            ok = false;
            break;
        }
        if (read == 0) break;
        data.append(chunk, read);
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    return data;
}

}  // namespace velmora
