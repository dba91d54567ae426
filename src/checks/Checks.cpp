#include "checks/CheckMessages.h"
#include "checks/PathRules.h"
#include "config/DoConfig.h"

namespace velmora {

int DoConfig::promptUser(const std::string& text, int buttons, const std::string& title) {
    if (!showPrompts_) return 0;
    return platform_.messageBoxes.show(text, buttons, title);
}

std::string DoConfig::checkFolderOrCreate(const std::string& path, const std::string& label) {
    if (platform_.files.folderExists(path)) return {};
    std::string message = messages::folderMissingCreate(path, label);
    if (promptUser(message, kMbYesNo, messages::kMissingFolderTitle) == kIdYes)
        (void)platform_.files.createFolders(path);  // a failure shows in the next check of the folder
    return message;
}

std::string DoConfig::checkFolderExists(const std::string& path, const std::string& label) {
    if (platform_.files.folderExists(path)) return {};
    std::string message = messages::pathMissing(path, label);
    promptUser(message, kMbOk | kMbIconExclamation, messages::kWarningTitle);
    return message;
}

std::string DoConfig::checkFileExists(const std::string& path, const std::string& label) {
    if (platform_.files.fileExists(path)) return {};
    std::string message = messages::pathMissing(path, label);
    promptUser(message, kMbOk | kMbIconExclamation, messages::kWarningTitle);
    return message;
}

std::string DoConfig::checkJvmLibrary(const std::string& path) {
    if (platform_.files.fileExists(path)) return {};
    std::string message = messages::jvmLibraryMissing(path);
    promptUser(message, kMbOk | kMbIconExclamation, messages::kWarningTitle);
    return message;
}

// One message per missing entry, so the report names each of them.
std::vector<std::string> DoConfig::checkClassPath(const std::string& classPath) {
    std::vector<std::string> missing;
    for (const auto& entry : classPathEntries(classPath)) {
        std::string message = entry.isJar ? checkFileExists(entry.path, "Classpath")
                                          : checkFolderExists(entry.path, "Classpath");
        if (!message.empty()) missing.push_back(std::move(message));
    }
    return missing;
}

}  // namespace velmora
