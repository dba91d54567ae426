#include "config/DoConfig.h"
#include "service/ServiceMessages.h"

namespace velmora {

// "Unable to determine" on the status line means the failure behind it is in
// the debug log already; while the service manager still cannot answer, the
// line stays and nothing more is written. Any other line is simply checked
// again, which changes the window only where the answer changed.
void DoConfig::followServiceStatus() {
    if (!installedAsService_) return;
    if (window_.statusText() == messages::kStatusUnknown) {
        // A quote in the name always fails the check; asking about it again would only log again.
        if (config_.serviceName.find('\'') != std::string::npos) return;
        if (std::holds_alternative<Failure>(platform_.services.isStarted(config_.serviceName))) return;
    }
    checkServiceStatus();
}

}  // namespace velmora
