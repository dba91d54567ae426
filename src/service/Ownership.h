#pragma once
#include <string>

#include "config/Configuration.h"
#include "platform/Platform.h"
#include "service/WrapperKind.h"

namespace velmora {

// The program of a service's binary path: the first token, without its
// quotes and without the arguments after it.
std::string programOfBinaryPath(const std::string& binaryPath);
// Paths compared as Windows does: without regard to case or "/" for "\".
bool samePath(const std::string& a, const std::string& b);

// What Velmora may touch for one configuration: the service of its name
// only when it is the one this configuration installs, the wrapper copy
// only when it is that service's program or a copy of the wrapper.
class Ownership {
public:
    Ownership(Platform& platform, const WrapperKind& kind, const Configuration& c);

    // Why the service of this name may not be touched; empty when it may
    // (it is ours, or there is none).
    std::string serviceRefusal();
    bool serviceExists();
    // Whether the wrapper copy on disk is ours; false when there is none.
    bool copyIsOurs();
    // Why the existing wrapper copy may not be run; empty when it may.
    std::string copyRefusal();

private:
    void lookUp();

    Platform& platform_;
    const WrapperKind& kind_;
    const Configuration& config_;
    ServiceLookup lookup_;
    bool looked_ = false;
};

}  // namespace velmora
