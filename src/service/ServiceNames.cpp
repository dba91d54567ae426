#include "service/ServiceNames.h"

namespace velmora {

std::string serviceKey(const std::string& serviceName) { return "SYSTEM\\CurrentControlSet\\Services\\" + serviceName; }

std::string parametersKey(const std::string& serviceName) { return serviceKey(serviceName) + "\\Parameters"; }

std::string netCommand(const std::string& verb, const std::string& serviceName) {
    return "net " + verb + " \"" + serviceName + "\"";
}

}  // namespace velmora
