#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <algorithm>

#include "platform/WindowsPaths.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// INVALID_FILE_ATTRIBUTES for an empty path too, which the system would
// otherwise take for the current folder.
DWORD attributesOf(const std::string& path) {
    if (path.empty() || isDevicePath(path)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wide(path).c_str());
}

// An ordinary file on a disk, opened to read what the flags allow.
Handle openDiskFile(const std::string& path, DWORD access, DWORD flags) {
    if (path.empty() || isDevicePath(path)) return Handle();
    Handle file(CreateFileW(wide(path).c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return Handle();
    return file;
}

}  // namespace

bool Win32Files::fileExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool Win32Files::folderExists(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

MaybeFailure Win32Files::copyFile(const std::string& from, const std::string& to) {
    if (isDevicePath(from) || isDevicePath(to)) return systemFailure("CopyFileW", ERROR_FILE_NOT_FOUND);
    // Copying a file onto itself would empty it; Windows reports it in use.
    if (samePath(from, to) || sameFile(from, to)) return systemFailure("CopyFileW", ERROR_SHARING_VIOLATION);
    if (!CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE)) return lastErrorFailure("CopyFileW");
    return std::nullopt;
}

MaybeFailure Win32Files::deleteFile(const std::string& path) {
    if (isDevicePath(path)) return systemFailure("DeleteFileW", ERROR_FILE_NOT_FOUND);
    const std::wstring widePath = wide(path);
    const DWORD attributes = attributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        // Zero would mean "leave unchanged" further down; NORMAL stands alone.
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        SetFileAttributesW(widePath.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL);
    }
    if (!DeleteFileW(widePath.c_str())) return lastErrorFailure("DeleteFileW");
    return std::nullopt;
}

// Written beside the file and put in its place only once whole: a full disk or
// a power cut leaves the file as it was, never half-written or empty. The new
// file is one nobody else has (CREATE_NEW), so nothing of another's is touched.
MaybeFailure Win32Files::writeText(const std::string& path, const std::string& text) {
    if (isDevicePath(path)) return systemFailure("CreateFileW", ERROR_ACCESS_DENIED);
    const std::string fresh = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
    const std::wstring freshPath = wide(fresh);
    Handle file(CreateFileW(freshPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lastErrorFailure("CreateFileW");
    DWORD written = 0;
    const bool whole = WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size() && FlushFileBuffers(file.get());
    const DWORD error = whole ? ERROR_SUCCESS : GetLastError();
    file.reset();
    if (!whole) {
        DeleteFileW(freshPath.c_str());
        return systemFailure("WriteFile", error ? error : ERROR_HANDLE_DISK_FULL);
    }
    if (!MoveFileExW(freshPath.c_str(), wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const Failure failure = lastErrorFailure("MoveFileExW");
        DeleteFileW(freshPath.c_str());
        return failure;
    }
    return std::nullopt;
}

MaybeFailure Win32Files::appendText(const std::string& path, const std::string& text) {
    if (isDevicePath(path)) return systemFailure("CreateFileW", ERROR_ACCESS_DENIED);
    const Handle file(CreateFileW(wide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lastErrorFailure("CreateFileW");
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return lastErrorFailure("WriteFile");
    if (written != text.size()) return systemFailure("WriteFile", ERROR_HANDLE_DISK_FULL);
    return std::nullopt;
}

MaybeFailure Win32Files::removeEmptyFolder(const std::string& path) {
    if (path.empty() || isDevicePath(path)) return systemFailure("RemoveDirectoryW", ERROR_PATH_NOT_FOUND);
    if (!RemoveDirectoryW(wide(path).c_str())) return lastErrorFailure("RemoveDirectoryW");
    return std::nullopt;
}

MaybeFailure Win32Files::createFolders(const std::string& path) {
    if (path.empty() || isDevicePath(path)) return systemFailure("CreateDirectoryW", ERROR_PATH_NOT_FOUND);
    // Each level in turn, from the top; levels that exist already are passed.
    DWORD passedOver = ERROR_PATH_NOT_FOUND;  // why a level was passed: the reason when the folder is not made
    for (std::size_t at = path.find_first_of("\\/", 0);; at = path.find_first_of("\\/", at + 1)) {
        const std::string level = path.substr(0, at);
        if (!level.empty() && level.back() != ':' && !folderExists(level) &&
            !CreateDirectoryW(wide(level).c_str(), nullptr)) {
            const DWORD error = GetLastError();
            // The first levels of a network path cannot be created, only reached.
            // A level below one that was refused is not found for that reason.
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED && error != ERROR_BAD_NETPATH &&
                error != ERROR_INVALID_NAME)
                return systemFailure("CreateDirectoryW", error == ERROR_PATH_NOT_FOUND ? passedOver : error);
            if (error != ERROR_ALREADY_EXISTS) passedOver = error;
        }
        if (at == std::string::npos) break;
    }
    if (!folderExists(path)) return systemFailure("CreateDirectoryW", passedOver);
    return std::nullopt;
}

std::optional<std::string> Win32Files::readBytes(const std::string& path, std::size_t maxBytes) {
    return readRange(path, 0, maxBytes);
}

std::optional<std::string> Win32Files::readRange(const std::string& path, std::uint64_t offset, std::size_t maxBytes) {
    const Handle file = openDiskFile(path, GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
    if (!file) return std::nullopt;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return std::nullopt;
    std::string data;
    char chunk[65536];
    while (data.size() < maxBytes) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(sizeof chunk, maxBytes - data.size()));
        if (!ReadFile(file.get(), chunk, wanted, &read, nullptr)) return std::nullopt;
        if (read == 0) break;
        data.append(chunk, read);
    }
    return data;
}

std::vector<FileFacts> Win32Files::listFiles(const std::string& folder, const std::string& pattern) {
    std::vector<FileFacts> found;
    if (folder.empty() || isDevicePath(folder)) return found;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = FindFirstFileExW(wide(folder + "\\" + pattern).c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) continue;
        FileFacts facts;
        facts.path = folder + "\\" + narrow(entry.cFileName);
        facts.size = (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow;
        facts.modified = (FileTime{entry.ftLastWriteTime.dwHighDateTime} << 32) | entry.ftLastWriteTime.dwLowDateTime;
        facts.readOnly = (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        if (isDevicePath(facts.path)) continue;
        // NTFS brings a folder's entry up to date only when a program closes the file: the size and time of a
        // log the running Tomcat holds open are asked of the file itself.
        WIN32_FILE_ATTRIBUTE_DATA now{};
        if (GetFileAttributesExW(wide(facts.path).c_str(), GetFileExInfoStandard, &now)) {
            facts.size = (std::uint64_t{now.nFileSizeHigh} << 32) | now.nFileSizeLow;
            facts.modified = (FileTime{now.ftLastWriteTime.dwHighDateTime} << 32) | now.ftLastWriteTime.dwLowDateTime;
        }
        found.push_back(std::move(facts));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

std::string Win32Files::resolvedPath(const std::string& path) {
    const std::wstring given = wide(path);
    DWORD size = GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (size == 0) return {};
    std::wstring full(size, L'\0');
    size = GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
    if (size == 0 || size >= full.size()) return {};
    full.resize(size);
    // Short names (PROGRA~1) are spelt out where the path exists; elsewhere it stays as it is.
    if (DWORD longSize = GetLongPathNameW(full.c_str(), nullptr, 0); longSize > 0) {
        std::wstring longPath(longSize, L'\0');
        longSize = GetLongPathNameW(full.c_str(), longPath.data(), longSize);
        if (longSize > 0 && longSize < longPath.size()) full = longPath.substr(0, longSize);
    }
    return normalizedPath(narrow(full));
}

bool Win32Files::passesThroughLink(const std::string& path) {
    const std::string resolved = resolvedPath(path);
    if (resolved.empty()) return true;  // what cannot be resolved is not trusted
    // Every folder from the drive down, the path itself included.
    for (std::size_t at = resolved.find('\\', 3);; at = resolved.find('\\', at + 1)) {
        const std::string level = at == std::string::npos ? resolved : resolved.substr(0, at);
        const DWORD attributes = GetFileAttributesW(wide(level).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
        if (at == std::string::npos) return false;
    }
}

// Opening it while refusing to share writing fails exactly when some handle
// may write to it; a file that cannot be opened for another reason is not in use.
bool Win32Files::openForWriting(const std::string& path) {
    if (path.empty() || isDevicePath(path)) return false;
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

MaybeFailure Win32Files::moveFile(const std::string& from, const std::string& to) {
    if (isDevicePath(from) || isDevicePath(to)) return systemFailure("MoveFileExW", ERROR_FILE_NOT_FOUND);
    if (!MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0)) return lastErrorFailure("MoveFileExW");
    return std::nullopt;
}

std::optional<DiskSpace> Win32Files::diskSpace(const std::string& path) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (path.empty() || !GetDiskFreeSpaceExW(wide(path).c_str(), &available, &total, &free)) return std::nullopt;
    return DiskSpace{total.QuadPart, free.QuadPart};
}

bool Win32Files::sameFile(const std::string& a, const std::string& b) {
    // Folders open only with backup semantics; they are then refused as folders.
    const auto identity = [](const std::string& path) -> std::optional<std::pair<DWORD, ULONGLONG>> {
        const Handle file = openDiskFile(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
        BY_HANDLE_FILE_INFORMATION information{};
        if (!file || !GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
        return std::pair{information.dwVolumeSerialNumber,
                         (ULONGLONG{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
    };
    const auto first = identity(a);
    return first && first == identity(b);
}

}  // namespace velmora
