#include "checks/Rights.h"

#include "config/ServiceAccount.h"
#include "platform/WindowsPaths.h"

namespace velmora {

std::vector<NeededRight> rightsTheServiceNeeds(const Configuration& c) {
    std::vector<NeededRight> needed;
    auto need = [&](const std::string& path, Access access) {
        if (path.empty()) return;
        for (const auto& known : needed)
            if (samePath(known.path, path) && known.access == access) return;
        needed.push_back({path, access});
    };
    need(c.catalinaHome, Access::Read);
    need(c.javaHome, Access::Read);
    need(c.catalinaBase + "\\logs", Access::Modify);
    need(c.tempDirectory, Access::Modify);
    need(c.catalinaBase + "\\work", Access::Modify);
    need(c.systemOut, Access::Modify);
    need(c.systemErr, Access::Modify);
    return needed;
}

std::vector<Finding> missingRights(const Configuration& c, Accounts& accounts) {
    const std::string account = serviceAccountName(c);
    std::vector<Finding> missing;
    for (const NeededRight& right : rightsTheServiceNeeds(c)) {
        const auto allowed = accounts.allows(right.path, account, right.access);
        if (!allowed || *allowed) continue;  // what cannot be told is not reported as missing
        const char* verb = right.access == Access::Modify ? "modify" : "read";
        missing.push_back({FindingKind::RightsMissing, "Account rights", right.path,
                           "The account " + account + " cannot " + verb + " '" + right.path +
                               "', so the service would fail with \"Access is denied\"."});
    }
    return missing;
}

std::string grantQuestion(const std::string& account, const NeededRight& right) {
    return "Grant " + account + (right.access == Access::Modify ? " modify" : " read") + " rights on " + right.path +
           "?";
}

std::string logOnQuestion(const std::string& account) {
    return "The account " + account +
           " may not log on as a service, so the service could not start. Give it the "
           "\"Log on as a service\" right?";
}

}  // namespace velmora
