#pragma once
#include "service/WrapperKind.h"

namespace velmora {

// bin\tomcat.exe: copied to bin\<name>.exe, registered with -install, and
// reading its start-up values from the service's Parameters key.
class ClassicWrapper : public WrapperKind {
public:
    explicit ClassicWrapper(Files& files) : files_(files) {}
    std::optional<WrapperCopy> copy(const Configuration& c) const override;
    ProgramRun registering(const Configuration& c) const override;
    ProgramRun unregistering(const Configuration& c) const override;
    bool ownsService(const Configuration& c, const std::string& binaryPath) const override;
    std::vector<WrapperValue> parameters(const Configuration& c) const override;
    std::vector<WrapperValue> updateParameters(const Configuration& c) const override;
    std::optional<ProgramRun> updating(const Configuration& c) const override;
    std::string wrapperProgram(const Configuration& c) const override;
    std::string defaultClassPath(const std::string& catalinaHome, const std::string& javaHome,
                                 bool withToolsJar) const override;
    std::vector<LayoutEntry> layoutEntries(const Configuration& c) const override;

private:
    Files& files_;  // where the JVM library is depends on the JDK's layout
};

}  // namespace velmora
