#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "config/Configuration.h"
#include "config/TomcatLayout.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "service/ServiceHoldings.h"

namespace velmora {

// One value the service wrapper reads at start-up, below HKEY_LOCAL_MACHINE.
struct WrapperValue {
    std::string key;
    std::string name;
    std::variant<std::string, std::uint32_t> data;
};

// The file a kind copies into bin before registering, and where from.
struct WrapperCopy {
    std::string source;
    std::string target;
};

// Files in one folder whose names match a pattern (* and ?).
struct FilePattern {
    std::string folder;
    std::string pattern;
};

// How the service wrapper of a Catalina home registers and removes a
// service. Chosen once from the home's layout; nothing else needs to know
// which kind it is.
class WrapperKind {
public:
    virtual ~WrapperKind() = default;
    // Nothing when the kind registers its own program without a copy.
    virtual std::optional<WrapperCopy> copy(const Configuration& c) const = 0;
    virtual ProcessRun registering(const Configuration& c) const = 0;
    virtual ProcessRun unregistering(const Configuration& c) const = 0;
    // Written after a fresh registration, in this order.
    virtual std::vector<WrapperValue> parameters(const Configuration& c) const = 0;
    // The program line the service runs once this kind has registered it.
    virtual std::string programLine(const Configuration& c) const = 0;
    // What brings the installed service from one configuration to another
    // where it stands, the wrapper's values that differ and no others: its
    // update directive, or the values it reads at start. Nothing when none differ.
    virtual std::optional<ProcessRun> updating(const Configuration& from, const Configuration& to) const = 0;
    virtual std::vector<WrapperValue> changedValues(const Configuration& from, const Configuration& to) const = 0;
    // Where the wrapper writes its own log, a file a day.
    virtual FilePattern ownLog(const Configuration& c) const = 0;
    // Whether the wrapper is handed the stop timeout, after which it ends the JVM.
    virtual bool takesStopTimeout() const = 0;
    // How services of this kind are named where they are listed.
    virtual const char* roadName() const = 0;

    // What the wrapper keeps for an installed service, each value by where it keeps it.
    virtual std::vector<HeldValue> heldValues(const std::string& serviceName, Registry& registry) const = 0;
    // Those values in the fields of a configuration, over held.config.
    virtual void readFields(const std::vector<HeldValue>& values, HeldFields& held) const = 0;
    // Each value the wrapper keeps otherwise than it would be given for this
    // configuration, or that no configuration gives, in a sentence.
    virtual std::vector<std::string> valuesNotKept(const std::vector<HeldValue>& values,
                                                   const Configuration& c) const = 0;
};

// The System.out and System.err files both kinds hand their wrapper.
inline std::string systemOutFile(const Configuration& c) { return c.systemOut + "\\" + c.serviceName + "_out.log"; }
inline std::string systemErrFile(const Configuration& c) { return c.systemErr + "\\" + c.serviceName + "_err.log"; }

std::unique_ptr<WrapperKind> wrapperKindFor(const TomcatLayout& layout, Files& files);

// The stop timeout the service's wrapper holds Tomcat to, in seconds: it ends
// the JVM of a stop that takes longer. 0 when it waits as long as Tomcat
// takes: a wrapper handed no stop timeout, or handed 0, which it takes for none.
std::uint32_t heldStopTimeout(const WrapperKind& kind, std::uint32_t stopTimeoutSeconds);

// The wrapper an installed service runs, told by the program line recorded
// at install, and the Catalina home it lies in: a service is removed through
// the wrapper that installed it, whatever home the configuration names now.
struct InstalledWrapper {
    std::shared_ptr<const WrapperKind> kind;
    std::string catalinaHome;
};
InstalledWrapper installedWrapperOf(const std::string& programLine, Files& files);

// The program of a service's program line: the first token, without its
// quotes and without the arguments after it.
std::string programOfBinaryPath(const std::string& binaryPath);
// Whether two program lines run one program, its path spelled either way:
// as typed ("C:\Tomcat9\\bin", "..") or as Windows registers it.
bool sameProgram(const std::string& lineA, const std::string& lineB);
// Whether two program lines run one program with the same arguments, quoted or not.
bool sameProgramLine(const std::string& lineA, const std::string& lineB);

}  // namespace velmora
