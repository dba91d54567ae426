#pragma once
#include "service/WrapperKind.h"

namespace velmora {

// bin\tomcat.exe: copied to bin\<name>.exe, registered with -install, and
// reading its start-up values from the service's Parameters key.
class ClassicWrapper : public WrapperKind {
public:
    explicit ClassicWrapper(Files& files) : files_(files) {}
    std::optional<WrapperCopy> copy(const Configuration& c) const override;
    ProcessRun registering(const Configuration& c) const override;
    ProcessRun unregistering(const Configuration& c) const override;
    std::vector<WrapperValue> parameters(const Configuration& c) const override;
    std::string programLine(const Configuration& c) const override;
    std::optional<ProcessRun> updating(const Configuration&, const Configuration&) const override {
        return std::nullopt;
    }
    // Of the JVM library its -install line took and the Parameters values, those that differ.
    std::vector<WrapperValue> changedValues(const Configuration& from, const Configuration& to) const override;
    FilePattern ownLog(const Configuration& c) const override {
        return {c.catalinaBase + "\\logs", "jakarta_service_*.log"};
    }
    bool takesStopTimeout() const override { return false; }  // its Parameters have no such value
    const char* roadName() const override { return "classic wrapper copy"; }
    std::vector<HeldValue> heldValues(const std::string& serviceName, Registry& registry) const override;
    void readFields(const std::vector<HeldValue>& values, HeldFields& held) const override;
    std::vector<std::string> valuesNotKept(const std::vector<HeldValue>& values, const Configuration& c) const override;

private:
    std::vector<WrapperValue> startValues(const Configuration& c) const;

    Files& files_;  // where the JVM library is depends on the JDK's layout
};

std::string wrapperCopyPath(const Configuration& c);
// The wrapper's own syntax: nothing is quoted.
std::string registeringCommand(const Configuration& c, const std::string& jvmLibrary);
std::string unregisteringCommand(const Configuration& c);
// The values under the service's key and its Parameters key, in writing
// order: the description, start and stop, the log files, the numbered JVM
// options and their count.
std::vector<WrapperValue> serviceWrapperParameters(const Configuration& c);

}  // namespace velmora
