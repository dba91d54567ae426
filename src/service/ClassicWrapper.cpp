#include "service/ClassicWrapper.h"

#include "checks/PathRules.h"
#include "service/Ownership.h"
#include "service/ServiceCommands.h"

namespace velmora {

std::optional<WrapperCopy> ClassicWrapper::copy(const Configuration& c) const {
    return WrapperCopy{wrapperSourcePath(c), wrapperCopyPath(c)};
}

ProgramRun ClassicWrapper::registering(const Configuration& c) const {
    return {wrapperCopyPath(c), registeringCommand(c)};
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
    return {{parametersKey(c.serviceName), "JVM Library", jvmLibraryPath(c.javaHome, c.jvmType)}};
}

}  // namespace velmora
