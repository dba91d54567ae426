#pragma once
#include <string>

namespace velmora {

std::string serviceKey(const std::string& serviceName);
std::string parametersKey(const std::string& serviceName);
// "net start" or "net stop" with the quoted service name.
std::string netCommand(const std::string& verb, const std::string& serviceName);

// The value in the service's own key that marks an installation as Velmora's.
inline const std::string kInstallMarkValue = "VelmoraInstallMark";

}  // namespace velmora
