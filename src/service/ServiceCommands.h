#pragma once
#include <string>

#include "config/Configuration.h"

namespace velmora {

// The wrapper's own command-line syntax: nothing is quoted.
std::string wrapperCopyPath(const Configuration& c);
std::string wrapperSourcePath(const Configuration& c);
std::string registeringCommand(const Configuration& c, const std::string& jvmLibrary);
std::string unregisteringCommand(const Configuration& c);
// "net start" or "net stop" with the quoted service name.
std::string netCommand(const std::string& verb, const std::string& serviceName);

std::string serviceKey(const std::string& serviceName);
std::string parametersKey(const std::string& serviceName);

}  // namespace velmora
