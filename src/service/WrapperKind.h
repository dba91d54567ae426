#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "platform/Files.h"
#include "service/WrapperParameters.h"

namespace velmora {

// A program and the command line it is started with.
struct ProgramRun {
    std::string program;  // full path
    std::string commandLine;
};

// The file a kind copies into bin before registering, and where from.
struct WrapperCopy {
    std::string source;
    std::string target;
};

// A file or folder of the layout that the report checks, with its label.
struct LayoutEntry {
    std::string path;
    std::string label;
    bool folder = false;
};

// How the service wrapper of a Catalina home registers and removes a
// service. Chosen once from the home; install and removal ask it what to
// run and write, and nothing else needs to know which kind it is.
class WrapperKind {
public:
    virtual ~WrapperKind() = default;
    // Nothing when the kind registers its own program without a copy.
    virtual std::optional<WrapperCopy> copy(const Configuration& c) const = 0;
    virtual ProgramRun registering(const Configuration& c) const = 0;
    virtual ProgramRun unregistering(const Configuration& c) const = 0;
    // Whether a service whose binary path the service manager gives is the
    // one this configuration installs.
    virtual bool ownsService(const Configuration& c, const std::string& binaryPath) const = 0;
    // Written after a fresh registration, in this order.
    virtual std::vector<WrapperValue> parameters(const Configuration& c) const = 0;
    // Written first when an installed service is updated in place.
    virtual std::vector<WrapperValue> updateParameters(const Configuration& c) const = 0;
    // Run when an installed service is updated in place; nothing for a kind
    // whose wrapper reads only the values written.
    virtual std::optional<ProgramRun> updating(const Configuration& c) const = 0;

    // The layout that comes with the wrapper.
    // The wrapper program itself, whose machine type the JVM library must share.
    virtual std::string wrapperProgram(const Configuration& c) const = 0;
    // A new configuration's class path; withToolsJar is false for a JDK 9+ without one.
    virtual std::string defaultClassPath(const std::string& catalinaHome, const std::string& javaHome,
                                         bool withToolsJar) const = 0;
    // What the report checks of the layout besides the configured paths.
    virtual std::vector<LayoutEntry> layoutEntries(const Configuration& c) const = 0;
};

// The kind of wrapper the Catalina home holds: bin\tomcat<N>.exe (N = 7 to
// 11) when there is such a file and no bin\tomcat.exe, else bin\tomcat.exe.
std::unique_ptr<WrapperKind> wrapperKindFor(const std::string& catalinaHome, Files& files);

}  // namespace velmora
