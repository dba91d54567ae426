#include "service/ServiceCommands.h"

namespace velmora {

std::string wrapperCopyPath(const Configuration& c) { return c.catalinaHome + "\\bin\\" + c.serviceName + ".exe"; }

std::string wrapperSourcePath(const Configuration& c) { return c.catalinaHome + "\\bin\\tomcat.exe"; }

std::string registeringCommand(const Configuration& c, const std::string& jvmLibrary) {
    return wrapperCopyPath(c) + " -install " + c.serviceName + " " + jvmLibrary + " -start main";
}

std::string unregisteringCommand(const Configuration& c) { return wrapperCopyPath(c) + " -uninstall " + c.serviceName; }

std::string netCommand(const std::string& verb, const std::string& serviceName) {
    return "net " + verb + " \"" + serviceName + "\"";
}

std::string serviceKey(const std::string& serviceName) {
    return "SYSTEM\\CurrentControlSet\\Services\\" + serviceName;
}

std::string parametersKey(const std::string& serviceName) { return serviceKey(serviceName) + "\\Parameters"; }

}  // namespace velmora
