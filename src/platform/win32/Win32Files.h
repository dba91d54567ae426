#pragma once
#include "platform/Files.h"

namespace velmora {

// Files and folders through kernel32; failures carry the failing call's name
// and the system's error text and number.
class Win32Files : public Files {
public:
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    Outcome copyFile(const std::string& from, const std::string& to) override;
    Outcome deleteFileForced(const std::string& path) override;
    Outcome writeText(const std::string& path, const std::string& text) override;
    Outcome appendText(const std::string& path, const std::string& text) override;
    Outcome createFolders(const std::string& path) override;
    std::optional<std::string> readBytes(const std::string& path, std::size_t maxBytes) override;
};

}  // namespace velmora
