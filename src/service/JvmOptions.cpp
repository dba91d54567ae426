#include "service/JvmOptions.h"

namespace velmora {

std::vector<std::string> conditionalJvmOptions(const Configuration& c, bool withSizes) {
    std::vector<std::string> options;
    if (c.useSecurityManager) {
        options.push_back("-Djava.security.manager");
        options.push_back("-Djava.security.policy=" + c.securityPolicyFile);
    }
    if (c.reduceOsSignals) options.push_back("-Xrs");
    if (withSizes) {
        if (c.initialHeapSize) options.push_back("-Xms" + std::to_string(c.initialHeapSize) + "m");
        if (c.threadStackSize) options.push_back("-Xss" + std::to_string(c.threadStackSize) + "k");
        if (c.maxHeapSize) options.push_back("-Xmx" + std::to_string(c.maxHeapSize) + "m");
    }
    for (const auto& option : c.additionalJvmOptions)
        if (!option.empty()) options.push_back(option);
    return options;
}

}  // namespace velmora
