#include "config/ServiceAccount.h"

#include "platform/Services.h"
#include "platform/Text.h"

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

std::string storedAccountSpelling(const std::string& account, const std::string& serviceName) {
    struct Spelling {
        const char* written;
        const char* stored;
    };
    static const Spelling kBuiltIn[] = {
        {"LocalSystem", "LocalSystem"},
        {".\\LocalSystem", "LocalSystem"},
        {"NT AUTHORITY\\SYSTEM", "LocalSystem"},
        {"LocalService", "LocalService"},
        {"NT AUTHORITY\\LocalService", "LocalService"},
        {"NT AUTHORITY\\Local Service", "LocalService"},
        {"NetworkService", "NetworkService"},
        {"NT AUTHORITY\\NetworkService", "NetworkService"},
        {"NT AUTHORITY\\Network Service", "NetworkService"},
        {"virtual", "virtual"},
    };
    for (const auto& spelling : kBuiltIn)
        if (sameName(account, spelling.written)) return spelling.stored;
    if (!serviceName.empty() && sameName(account, virtualAccount(serviceName))) return "virtual";
    return account;
}

}  // namespace velmora
