#pragma once
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "config/Configuration.h"
#include "platform/Accounts.h"

namespace velmora {

// A folder the service's account must be able to read or modify.
struct NeededRight {
    std::string path;
    Access access;
};

// What Tomcat needs of its folders: to read the Catalina home and the JDK,
// and to modify logs, temp and work of the base and the System.out and
// System.err folders.
std::vector<NeededRight> rightsTheServiceNeeds(const Configuration& c);

// The needed rights the account lacks, by the folders' access control lists.
std::vector<Finding> missingRights(const Configuration& c, Accounts& accounts);

std::string grantQuestion(const std::string& account, const NeededRight& right);
std::string logOnQuestion(const std::string& account);

}  // namespace velmora
