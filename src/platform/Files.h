#pragma once
#include <cstddef>
#include <optional>
#include <string>

#include "platform/Failure.h"

namespace velmora {

class Files {
public:
    virtual ~Files() = default;
    // An empty path never exists.
    virtual bool fileExists(const std::string& path) = 0;
    virtual bool folderExists(const std::string& path) = 0;
    virtual Outcome copyFile(const std::string& from, const std::string& to) = 0;  // overwrites
    // Deletes even a read-only file.
    virtual Outcome deleteFileForced(const std::string& path) = 0;
    // Creates or replaces the file with the given text.
    virtual Outcome writeText(const std::string& path, const std::string& text) = 0;
    // Appends to the file, creating it when missing; the file is closed again.
    virtual Outcome appendText(const std::string& path, const std::string& text) = 0;
    // Creates the folder and every missing folder above it.
    virtual Outcome createFolders(const std::string& path) = 0;
    // The file's first maxBytes bytes (all of it when shorter); nothing when
    // it cannot be read.
    virtual std::optional<std::string> readBytes(const std::string& path, std::size_t maxBytes) = 0;
};

}  // namespace velmora
