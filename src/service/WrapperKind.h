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
};

// The kind of wrapper the Catalina home holds.
std::unique_ptr<WrapperKind> wrapperKindFor(const std::string& catalinaHome, Files& files);

}  // namespace velmora
