#include "service/ClassicWrapper.h"

#include "checks/JdkLayout.h"
#include "checks/PathRules.h"
#include "service/Ownership.h"
#include "service/ServiceCommands.h"

namespace velmora {

std::optional<WrapperCopy> ClassicWrapper::copy(const Configuration& c) const {
    return WrapperCopy{wrapperSourcePath(c), wrapperCopyPath(c)};
}

ProgramRun ClassicWrapper::registering(const Configuration& c) const {
    return {wrapperCopyPath(c), registeringCommand(c, jvmLibraryFor(c, files_))};
}

ProgramRun ClassicWrapper::unregistering(const Configuration& c) const {
    return {wrapperCopyPath(c), unregisteringCommand(c)};
}

bool ClassicWrapper::ownsService(const Configuration& c, const std::string& binaryPath) const {
    return samePath(programOfBinaryPath(binaryPath), wrapperCopyPath(c));
}

std::vector<WrapperValue> ClassicWrapper::parameters(const Configuration& c) const {
    return serviceWrapperParameters(c);
}

std::vector<WrapperValue> ClassicWrapper::updateParameters(const Configuration& c) const {
    return {{parametersKey(c.serviceName), "JVM Library", jvmLibraryFor(c, files_)}};
}

std::optional<ProgramRun> ClassicWrapper::updating(const Configuration&) const { return std::nullopt; }

std::string ClassicWrapper::wrapperProgram(const Configuration& c) const { return wrapperSourcePath(c); }

std::string ClassicWrapper::defaultClassPath(const std::string& catalinaHome, const std::string& javaHome,
                                             bool withToolsJar) const {
    return velmora::defaultClassPath(catalinaHome, javaHome, withToolsJar);
}

std::vector<LayoutEntry> ClassicWrapper::layoutEntries(const Configuration& c) const {
    return {{wrapperSourcePath(c), "Tomcat service executable"}};
}

}  // namespace velmora
