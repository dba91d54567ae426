#pragma once
#include "service/WrapperKind.h"

namespace velmora {

// One -- option; paths, lists and free texts are quoted on the command line.
struct WrapperOption {
    std::string name;
    std::string value;
    bool quoted = true;
    std::string text() const;  // as the command line gives it
};

// bin\tomcat<N>.exe of Tomcat 7 to 11: registers the service with //IS// and
// takes every setting as a -- option; the service runs the wrapper itself.
class ModernWrapper : public WrapperKind {
public:
    ModernWrapper(Files& files, std::string wrapperExe) : files_(files), wrapperExe_(std::move(wrapperExe)) {}
    std::optional<WrapperCopy> copy(const Configuration& c) const override;
    ProcessRun registering(const Configuration& c) const override;
    ProcessRun unregistering(const Configuration& c) const override;
    std::vector<WrapperValue> parameters(const Configuration& c) const override;
    std::string programLine(const Configuration& c) const override;
    std::optional<ProcessRun> updating(const Configuration& from, const Configuration& to) const override;
    std::vector<WrapperValue> changedValues(const Configuration&, const Configuration&) const override { return {}; }
    FilePattern ownLog(const Configuration& c) const override {
        return {c.catalinaBase + "\\logs", "commons-daemon.*.log"};
    }
    bool takesStopTimeout() const override { return true; }  // --StopTimeout
    const char* roadName() const override { return "Tomcat 7-11 wrapper (//RS//)"; }
    std::vector<HeldValue> heldValues(const std::string& serviceName, Registry& registry) const override;
    void readFields(const std::vector<HeldValue>& values, HeldFields& held) const override;
    std::vector<std::string> valuesNotKept(const std::vector<HeldValue>& values, const Configuration& c) const override;

private:
    std::vector<WrapperOption> options(const Configuration& c) const;

    Files& files_;
    std::string wrapperExe_;
};

// Where the wrapper keeps a service's values, below HKEY_LOCAL_MACHINE: its
// Parameters key, with the subkeys Java, Start, Stop and Log. A 64-bit
// wrapper keeps them in the 32-bit view, as every one does.
std::string procrunParametersKey(const std::string& serviceName);

// The JVM options of --JvmOptions, one entry each, in the order the JVM gets them.
std::vector<std::string> modernJvmOptions(const Configuration& c);
// The options of //IS//, in command-line order; empty sizes are left out.
std::vector<WrapperOption> modernInstallOptions(const Configuration& c, const std::string& wrapperPath,
                                                const std::string& jvmLibrary,
                                                const std::vector<std::string>& jvmOptions9);
// "<wrapper>" //DS//<name>
std::string modernUninstallCommand(const std::string& serviceName, const std::string& wrapperPath);
// "<wrapper>" //RS//<name>: what the service runs.
std::string modernProgramLine(const std::string& serviceName, const std::string& wrapperPath);

// The wrapper separates list entries at "#" and ";"; an entry holding either
// is put inside single quotes, which the wrapper strips.
std::string joinWrapperList(const std::vector<std::string>& entries);

// One argument as Windows programs split their command line: in double
// quotes, with backslashes doubled where they come before a quote.
std::string quoteArgument(const std::string& argument);

}  // namespace velmora
