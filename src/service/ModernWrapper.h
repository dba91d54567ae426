#pragma once
#include "service/WrapperKind.h"

namespace velmora {

// bin\tomcat<N>.exe of Tomcat 7 to 11: registers the service with //IS// and
// takes every setting as a -- option; the service runs the wrapper itself.
class ModernWrapper : public WrapperKind {
public:
    ModernWrapper(Files& files, std::string wrapperExe) : files_(files), wrapperExe_(std::move(wrapperExe)) {}

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
    Files& files_;
    std::string wrapperExe_;
};

}  // namespace velmora
