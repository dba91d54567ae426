#include "config/ServiceAccount.h"

#include "platform/Services.h"

namespace velmora {

std::string serviceAccountName(const Configuration& c) {
    if (c.serviceAccount == "LocalService") return "NT AUTHORITY\\LocalService";
    if (c.serviceAccount == "NetworkService") return "NT AUTHORITY\\NetworkService";
    if (c.serviceAccount == "virtual") return virtualAccount(c.serviceName);
    return c.serviceAccount;
}

bool isNamedAccount(const Configuration& c) {
    for (const char* builtIn : {"LocalSystem", "LocalService", "NetworkService", "virtual"})
        if (c.serviceAccount == builtIn) return false;
    return true;
}

bool accountNeedsPassword(const Configuration& c) {
    return isNamedAccount(c) && !c.serviceAccount.empty() && c.serviceAccount.back() != '$';
}

}  // namespace velmora
