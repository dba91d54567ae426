#pragma once
#include <string>

namespace velmora {

// Why a name cannot be a configuration key of its own below the store key;
// empty when it can. Enough to open or delete what is stored.
std::string unusableNameReason(const std::string& name);

// Why a name cannot be saved, installed or uninstalled under the given
// Catalina home; empty when it can. The name becomes a registry key, a
// service name and the file bin\<name>.exe on an unquoted command line.
std::string nameRuleViolation(const std::string& name, const std::string& catalinaHome);

}  // namespace velmora
