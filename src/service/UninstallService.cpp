#include "config/DoConfig.h"
#include "config/StoreLayout.h"
#include "config/StoreMessages.h"
#include "service/ServiceCommands.h"
#include "service/ServiceMessages.h"

namespace velmora {

namespace {
// The wrapper may hold its file for a moment after it stops; the delete is
// retried without a pause until it goes or the attempts run out.
constexpr int kMaxDeleteRetries = 50000;
}  // namespace

void DoConfig::uninstallService(bool showMessage) {
    if (refuseUnusableName()) return;
    collectJvmOptions();
    stopService();
    platform_.processes.runHiddenAndWait(unregisteringCommand(config_));

    const std::string copy = wrapperCopyPath(config_);
    if (platform_.files.fileExists(copy)) {
        for (int attempts = 0; attempts <= kMaxDeleteRetries; ++attempts)
            if (!platform_.files.deleteFileForced(copy)) break;
    }

    writeMachineDword(store::configurationKey(config_.serviceName), store::kInstalled, 0);
    platform_.registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, serviceKey(config_.serviceName));
    installedAsService_ = false;
    checkServiceStatus();
    window_.setInstallCaption(messages::kInstallCaption);
    if (showMessage)
        platform_.messageBoxes.show(messages::serviceUninstalled(config_.serviceName), kMbOk | kMbIconInformation,
                                    messages::kInfoTitle);
}

}  // namespace velmora
