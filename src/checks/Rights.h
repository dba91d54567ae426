#pragma once
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "config/Configuration.h"
#include "platform/Platform.h"

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

// Where Velmora gives an account rights: the Catalina base and what lies
// below it, and folders Velmora created for the configuration; never a
// drive's root, anything in the Windows folder, Program Files or the profiles
// folder themselves or a user's profile, and never through a link.
struct GrantBounds {
    std::string catalinaBase;
    std::vector<std::string> createdFolders;
    std::string windowsFolder;
    std::vector<std::string> programFolders;  // Program Files, in both views
    std::string profilesFolder;               // where the user profiles lie (C:\Users)
};
GrantBounds grantBoundsOf(const Configuration& c, const std::vector<std::string>& createdFolders, Environment& env);

// Why Velmora will not grant rights on the folder (normalized; empty when it
// cannot be resolved); empty when it may.
std::string grantRefusal(const std::string& folder, const GrantBounds& bounds, bool throughLink);

// A needed right the account lacks, and why Velmora will not grant it (empty when it may).
struct MissingRight {
    NeededRight right;
    std::string notGranted;
};
// The needed rights the account lacks, by the folders' access control lists.
std::vector<MissingRight> missingRightsOf(const Configuration& c, const std::vector<std::string>& createdFolders,
                                          Platform& platform);
std::vector<Finding> missingRights(const Configuration& c, const std::vector<std::string>& createdFolders,
                                   Platform& platform);

// The needed folders whose access lists could not be read for the account
// (no such account yet, a system that does not tell): nothing is known of them.
std::vector<std::string> rightsUntold(const Configuration& c, Accounts& accounts);

std::string grantQuestion(const std::string& account, const NeededRight& right);
std::string logOnQuestion(const std::string& account);

}  // namespace velmora
