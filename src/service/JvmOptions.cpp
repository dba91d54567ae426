#include "service/JvmOptions.h"

#include "config/Encodings.h"

namespace velmora {

std::vector<std::string> conditionalJvmOptions(const Configuration& c, bool withSizes) {
    std::vector<std::string> options;
    if (c.useSecurityManager == 1) {
        options.push_back("-Djava.security.manager");
        options.push_back("-Djava.security.policy=" + c.securityPolicyFile);
    }
    if (c.reduceOsSignals == 1) options.push_back("-Xrs");
    if (withSizes) {
        if (leadingNumber(c.initialHeapSize) > 0) options.push_back("-Xms" + c.initialHeapSize + "m");
        if (leadingNumber(c.threadStackSize) > 0) options.push_back("-Xss" + c.threadStackSize + "k");
        if (leadingNumber(c.maxHeapSize) > 0) options.push_back("-Xmx" + c.maxHeapSize + "m");
    }
    for (const auto& option : c.additionalJvmOptions)
        if (!option.empty()) options.push_back(option);
    return options;
}

}  // namespace velmora
