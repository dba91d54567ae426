#include "config/ConfigurationList.h"
#include "config/DoConfig.h"
#include "config/StoreLayout.h"
#include "config/StoreMessages.h"
#include "service/Ownership.h"
#include "service/ServiceCommands.h"
#include "service/ServiceMessages.h"
#include "service/WrapperKind.h"

namespace velmora {

namespace {
// The wrapper may hold its file for a moment after it stops; the delete is
// retried without a pause until it goes or the attempts run out.
constexpr int kMaxDeleteRetries = 50000;
}  // namespace

bool DoConfig::uninstallService(bool showMessage) {
    if (refuseBrokenName()) return false;
    const auto kind = wrapperKindFor(config_.catalinaHome, platform_.files);
    Ownership owner(platform_, *kind, config_);
    if (refuse(owner.serviceRefusal())) return false;
    collectJvmOptions();

    // Decided before the wrapper unregisters the service that vouches for the copy.
    const bool copyIsOurs = owner.copyIsOurs();
    int exitCode = 0;
    if (owner.serviceExists()) {
        stopService();
        const ProgramRun run = kind->unregistering(config_);
        exitCode = platform_.processes.runHiddenAndWait(run.program, run.commandLine);
        if (Ownership(platform_, *kind, config_).serviceExists()) {
            checkServiceStatus();
            refuse(messages::serviceStillRegistered(config_.serviceName, exitCode));
            return false;
        }
    }

    std::string copyLeft;
    if (const auto copy = kind->copy(config_); copy && copyIsOurs) {
        for (int attempts = 0; attempts <= kMaxDeleteRetries; ++attempts)
            if (!platform_.files.deleteFileForced(copy->target)) break;
        if (platform_.files.fileExists(copy->target)) copyLeft = copy->target;
    }

    writeMachineDword(store::configurationKey(config_.serviceName), store::kInstalled, 0);
    removeLeftoverServiceKey();
    installedAsService_ = false;
    checkServiceStatus();
    window_.setInstallCaption(messages::kInstallCaption);
    if (!copyLeft.empty())
        refuse(messages::wrapperCopyStillThere(config_.serviceName, copyLeft));
    else if (showMessage)
        platform_.messageBoxes.show(messages::serviceUninstalled(config_.serviceName), kMbOk | kMbIconInformation,
                                    messages::kInfoTitle);
    return true;
}

// Once the service is gone its key may still hold what Velmora wrote for it
// (the description and the wrapper's parameters); anything else is not ours.
void DoConfig::removeLeftoverServiceKey() {
    const std::string key = serviceKey(config_.serviceName);
    const auto contents = platform_.registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, key);
    if (!contents) return;
    for (const auto& value : contents->valueNames)
        if (!sameConfigurationName(value, "Description")) return;
    for (const auto& subkey : contents->subkeyNames) {
        const auto inner = platform_.registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, key + "\\" + subkey);
        if (!sameConfigurationName(subkey, "Parameters") || !inner || !inner->subkeyNames.empty()) return;
    }
    platform_.registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, parametersKey(config_.serviceName));
    platform_.registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, key);
}

}  // namespace velmora
