#include "service/ModernWrapper.h"

#include <algorithm>
#include <cctype>

#include "checks/JdkLayout.h"
#include "service/ModernWrapperCommands.h"
#include "service/Ownership.h"

namespace velmora {

std::optional<WrapperCopy> ModernWrapper::copy(const Configuration&) const { return std::nullopt; }

ProgramRun ModernWrapper::registering(const Configuration& c) const {
    return {wrapperExe_, modernInstallCommand(c, wrapperExe_, jvmLibraryFor(c, files_))};
}

ProgramRun ModernWrapper::unregistering(const Configuration& c) const {
    return {wrapperExe_, modernUninstallCommand(c.serviceName, wrapperExe_)};
}

namespace {
// What follows the program in a service's binary path, blanks trimmed.
std::string argumentsOfBinaryPath(const std::string& binaryPath) {
    const auto start = binaryPath.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    std::size_t end = start + programOfBinaryPath(binaryPath).size();
    if (binaryPath[start] == '"') end = std::min(end + 2, binaryPath.size());
    const auto first = binaryPath.find_first_not_of(" \t", end);
    if (first == std::string::npos) return {};
    return binaryPath.substr(first, binaryPath.find_last_not_of(" \t") + 1 - first);
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}
}  // namespace

// Ours is the wrapper of this home running exactly this service: "<exe>" //RS//<name>.
bool ModernWrapper::ownsService(const Configuration& c, const std::string& binaryPath) const {
    return samePath(programOfBinaryPath(binaryPath), wrapperExe_) &&
           equalsNoCase(argumentsOfBinaryPath(binaryPath), "//RS//" + c.serviceName);
}

// Everything went to the wrapper as options; it keeps them itself.
std::vector<WrapperValue> ModernWrapper::parameters(const Configuration&) const { return {}; }

std::vector<WrapperValue> ModernWrapper::updateParameters(const Configuration&) const { return {}; }

std::optional<ProgramRun> ModernWrapper::updating(const Configuration& c) const {
    return ProgramRun{wrapperExe_, modernUpdateCommand(c, wrapperExe_, jvmLibraryFor(c, files_))};
}

std::string ModernWrapper::wrapperProgram(const Configuration&) const { return wrapperExe_; }

std::string ModernWrapper::defaultClassPath(const std::string& catalinaHome, const std::string&, bool) const {
    return catalinaHome + "\\bin\\bootstrap.jar;" + catalinaHome + "\\bin\\tomcat-juli.jar";
}

std::vector<LayoutEntry> ModernWrapper::layoutEntries(const Configuration& c) const {
    return {{wrapperExe_, "Tomcat service executable"},
            {c.catalinaHome + "\\lib", "Tomcat lib folder", true},
            {c.catalinaBase + "\\conf\\logging.properties", "Tomcat logging config file"}};
}

}  // namespace velmora
