#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Failure.h"

namespace velmora {

// What a listing says of one file.
struct FileFacts {
    std::string path;
    std::uint64_t size = 0;
    FileTime modified = 0;
    bool readOnly = false;
};

// The size of the volume that holds a path, and what is free on it.
struct DiskSpace {
    std::uint64_t total = 0;
    std::uint64_t free = 0;
};

// Ordinary files and folders. A path that names a device (CON, COM1.exe, ...)
// is never a file here: it is neither found, read, copied nor deleted.
class Files {
public:
    virtual ~Files() = default;
    // An empty path never exists.
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    // Overwrites the target; a target that is the source itself is refused.
    virtual MaybeFailure copyFile(const std::string& from, const std::string& to) = 0;
    // Deletes even a read-only file.
    virtual MaybeFailure deleteFile(const std::string& path) = 0;
    // Creates or replaces the file with the given bytes.
    virtual MaybeFailure writeText(const std::string& path, const std::string& text) = 0;
    // Appends, creating the file when missing; the file is closed again.
    virtual MaybeFailure appendText(const std::string& path, const std::string& text) = 0;
    // Creates the folder and every missing folder above it.
    virtual MaybeFailure createFolders(const std::string& path) = 0;
    // Removes a folder that holds nothing; one that holds anything stays.
    virtual MaybeFailure removeEmptyFolder(const std::string& path) = 0;
    // The first maxBytes bytes of an ordinary disk file; nothing otherwise.
    virtual std::optional<std::string> readBytes(const std::string& path, std::size_t maxBytes) = 0;
    // Up to maxBytes bytes of an ordinary disk file from the offset on; an
    // offset past the end gives nothing read, a file that cannot be read nothing.
    virtual std::optional<std::string> readRange(const std::string& path, std::uint64_t offset,
                                                 std::size_t maxBytes) = 0;
    // The ordinary files directly in the folder whose names match the pattern
    // (* and ? as Windows matches them), in no particular order.
    virtual std::vector<FileFacts> listFiles(const std::string& folder, const std::string& pattern) = 0;
    // Whether both paths name one existing file, however they are spelt.
    virtual bool sameFile(const std::string& a, const std::string& b) = 0;
    // The path as Windows resolves it: absolute, "." and ".." taken out, short
    // (8.3) names spelt out where the folders exist; empty when it cannot be.
    virtual std::string resolvedPath(const std::string& path) = 0;
    // Whether the path or a folder above it is a junction or a symbolic link
    // (a reparse point), so that acting on it may act somewhere else.
    virtual bool passesThroughLink(const std::string& path) = 0;
    // Whether a program holds the file open to write to it, as a running
    // service holds its current logs: such a file is never deleted or moved.
    virtual bool openForWriting(const std::string& path) = 0;
    // Renames a file within its volume; an existing target is never replaced.
    virtual MaybeFailure moveFile(const std::string& from, const std::string& to) = 0;
    // Nothing when the volume cannot be asked.
    virtual std::optional<DiskSpace> diskSpace(const std::string& path) = 0;
};

}  // namespace velmora
