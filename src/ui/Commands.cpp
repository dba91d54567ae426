#include "config/DoConfig.h"
#include "service/ServiceMessages.h"

namespace velmora {

// The Install/Uninstall and Start/Stop buttons carry their state in their captions.

void DoConfig::installOrUninstall() {
    if (window_.installCaption() == messages::kInstallCaption) {
        if (refuseBrokenName()) return;  // one warning, not one per step
        if (!saveConfiguration(false)) return;
        installService(true);
        window_.setStartEnabled(true);
    } else if (uninstallService(true)) {
        window_.setStartEnabled(false);
    }
}

void DoConfig::startOrStop() {
    if (window_.startCaption() == messages::kStartCaption)
        startService();
    else
        stopService();
}

}  // namespace velmora
