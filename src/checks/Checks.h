#pragma once
#include <optional>
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "checks/Questions.h"
#include "platform/Files.h"

namespace velmora {

// The existence checks. Each tells its finding through the questions as it
// finds it and returns it; nothing when all is well.
class Checker {
public:
    // Folders it creates are added to `created`, when given: Velmora may give
    // the service's account rights on what it made for the configuration.
    Checker(Files& files, Questions& questions, std::vector<std::string>* created = nullptr)
        : files_(files), questions_(questions), created_(created) {}

    // Offers to create a missing folder; Yes creates it (a failure is warned about).
    std::optional<Finding> folderOrCreate(const std::string& path, const std::string& label);
    std::optional<Finding> folderExists(const std::string& path, const std::string& label);
    std::optional<Finding> fileExists(const std::string& path, const std::string& label);
    std::optional<Finding> jvmLibrary(const std::string& path);
    // One finding per missing entry.
    std::vector<Finding> classPath(const std::string& classPath);

private:
    std::optional<Finding> warned(Finding finding);
    std::vector<std::string> missingLevels(const std::string& path);

    Files& files_;
    Questions& questions_;
    std::vector<std::string>* created_;
};

}  // namespace velmora
