#pragma once
#include "platform/Files.h"

namespace velmora {

// Files and folders through kernel32's wide calls. A path whose last part
// names a device is refused before the system sees it. Failures carry the
// failing call's name and the system's error text and number.
class Win32Files : public Files {
public:
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    MaybeFailure copyFile(const std::string& from, const std::string& to) override;
    MaybeFailure deleteFile(const std::string& path) override;
    MaybeFailure writeText(const std::string& path, const std::string& text) override;
    MaybeFailure appendText(const std::string& path, const std::string& text) override;
    MaybeFailure createFolders(const std::string& path) override;
    MaybeFailure removeEmptyFolder(const std::string& path) override;
    std::optional<std::string> readBytes(const std::string& path, std::size_t maxBytes) override;
    std::optional<std::string> readRange(const std::string& path, std::uint64_t offset, std::size_t maxBytes) override;
    std::vector<FileFacts> listFiles(const std::string& folder, const std::string& pattern) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    std::string resolvedPath(const std::string& path) override;
    bool passesThroughLink(const std::string& path) override;
    bool openForWriting(const std::string& path) override;
    MaybeFailure moveFile(const std::string& from, const std::string& to) override;
    std::optional<DiskSpace> diskSpace(const std::string& path) override;
};

}  // namespace velmora
