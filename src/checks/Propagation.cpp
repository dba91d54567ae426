#include "checks/CheckMessages.h"
#include "checks/JdkLayout.h"
#include "checks/PathRules.h"
#include "config/DoConfig.h"

namespace velmora {

void DoConfig::propagateCatalinaHomeChange() {
    checkFolderExists(config_.catalinaHome, "Catalina Home");
    if (lastCatalinaHome_ != config_.catalinaHome) {
        // With prompts off there is no answer, and the change is carried along.
        const int answer = promptUser(messages::kHomeChanged, kMbYesNo, messages::kChangeDetectedTitle);
        if (answer == kIdYes || !showPrompts_) {
            setClassPath(defaultClassPathFor(config_.catalinaHome, config_.javaHome, platform_.files));
            setCatalinaBase(replaceAll(config_.catalinaBase, lastCatalinaHome_, config_.catalinaHome));
        }
    }
    lastCatalinaHome_ = config_.catalinaHome;
}

void DoConfig::propagateCatalinaBaseChange() {
    checkFolderExists(config_.catalinaBase, "Catalina Base");
    if (lastCatalinaBase_ != config_.catalinaBase) {
        const int answer = promptUser(messages::kBaseChanged, kMbYesNo, messages::kChangeDetectedTitle);
        if (answer == kIdYes || !showPrompts_) {
            const std::string oldBase = lastCatalinaBase_;
            const std::string newBase = config_.catalinaBase;
            // The folders are matched with their trailing "\" so that a field
            // equal to the old base itself stays as it is.
            const std::string oldFolder = oldBase + "\\";
            const std::string newFolder = newBase + "\\";
            setTomcatConfigFile(replaceAll(config_.tomcatConfigFile, oldBase, newBase));
            setSystemOut(replaceAll(config_.systemOut, oldFolder, newFolder));
            setSystemErr(replaceAll(config_.systemErr, oldFolder, newFolder));
            setTempDirectory(replaceAll(config_.tempDirectory, oldFolder, newFolder));
            setSecurityPolicyFile(replaceAll(config_.securityPolicyFile, oldFolder, newFolder));
        }
    }
    lastCatalinaBase_ = config_.catalinaBase;
}

}  // namespace velmora
