#pragma once
#include <string>

#include "config/Configuration.h"

namespace velmora {

// The account as the service manager names it: NT AUTHORITY\LocalService,
// NT SERVICE\<name> for the virtual one, or the name given.
std::string serviceAccountName(const Configuration& c);
// A named account (not built in, not the virtual one) needs the right to log
// on as a service; it logs on with a password unless it is a group managed
// one (DOMAIN\name$).
bool isNamedAccount(const Configuration& c);
bool accountNeedsPassword(const Configuration& c);
// A built-in account however it is written (any case, "NT AUTHORITY\\...",
// the service's own "NT SERVICE\\<name>") as the store keeps it; any other
// account as given.
std::string storedAccountSpelling(const std::string& account, const std::string& serviceName);

}  // namespace velmora
