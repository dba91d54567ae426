#include "checks/Checks.h"

#include "checks/CheckMessages.h"
#include "checks/PathRules.h"
#include "platform/WindowsPaths.h"

namespace velmora {

const char* findingKindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::FolderMissing: return "folder-missing";
        case FindingKind::FileMissing: return "file-missing";
        case FindingKind::JvmLibraryMissing: return "jvm-library-missing";
        case FindingKind::MachineMismatch: return "machine-mismatch";
        case FindingKind::ValueUnusable: return "value-unusable";
        case FindingKind::RightsMissing: return "rights-missing";
        case FindingKind::OptionsIgnored: return "options-ignored";
        case FindingKind::PortConflict: return "port-conflict";
        case FindingKind::SlowStop: return "slow-stop";
        case FindingKind::LogsBeyondBounds: return "logs-beyond-bounds";
        case FindingKind::DiskAlmostFull: return "disk-almost-full";
        case FindingKind::ServiceDiffers: return "service-differs";
        case FindingKind::WouldNotStart: return "would-not-start";
    }
    return "unknown";
}

std::optional<Finding> Checker::warned(Finding finding) {
    questions_.warn(finding.message);
    return finding;
}

// The folder itself as given, below the levels above it that are not there either.
std::vector<std::string> Checker::missingLevels(const std::string& path) {
    std::vector<std::string> missing{path};
    std::string level = normalizedPath(path);
    for (auto cut = level.find_last_of('\\'); cut != std::string::npos && cut > 2; cut = level.find_last_of('\\')) {
        level.erase(cut);
        if (isDriveRoot(level) || files_.folderExists(level)) break;
        missing.insert(missing.begin(), level);
    }
    return missing;
}

std::optional<Finding> Checker::folderOrCreate(const std::string& path, const std::string& label) {
    if (files_.folderExists(path)) return std::nullopt;
    Finding finding{FindingKind::FolderMissing, label, path, messages::folderMissingCreate(path, label)};
    if (questions_.ask({QuestionKind::CreateMissingFolder, finding.message}) == Answer::Yes) {
        // Every level made is noted, the top first: each is Velmora's, to take back or give rights on.
        std::vector<std::string> missing = missingLevels(path);
        if (auto failure = files_.createFolders(path))
            questions_.warn(messages::folderNotCreated(path, failure->description));
        else if (created_)
            created_->insert(created_->end(), missing.begin(), missing.end());
    }
    return finding;
}

std::optional<Finding> Checker::folderExists(const std::string& path, const std::string& label) {
    if (files_.folderExists(path)) return std::nullopt;
    return warned({FindingKind::FolderMissing, label, path, messages::pathMissing(path, label)});
}

std::optional<Finding> Checker::fileExists(const std::string& path, const std::string& label) {
    if (files_.fileExists(path)) return std::nullopt;
    return warned({FindingKind::FileMissing, label, path, messages::pathMissing(path, label)});
}

std::optional<Finding> Checker::jvmLibrary(const std::string& path) {
    if (files_.fileExists(path)) return std::nullopt;
    return warned({FindingKind::JvmLibraryMissing, "JVM library", path, messages::jvmLibraryMissing(path)});
}

std::vector<Finding> Checker::classPath(const std::string& classPath) {
    std::vector<Finding> missing;
    for (const auto& entry : classPathEntries(classPath)) {
        auto finding = entry.isJar ? fileExists(entry.path, "Classpath") : folderExists(entry.path, "Classpath");
        if (finding) missing.push_back(std::move(*finding));
    }
    return missing;
}

}  // namespace velmora
