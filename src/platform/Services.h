#pragma once
#include <optional>
#include <string>
#include <variant>

#include "platform/Failure.h"

namespace velmora {

// What the service manager knows of a service: its binary path, or nothing
// when it has no service of that name.
using ServiceLookup = std::variant<std::optional<std::string>, Failure>;

class Services {
public:
    virtual ~Services() = default;
    // Whether a service is started (any state but stopped). A name the
    // system does not know is a failure.
    virtual std::variant<bool, Failure> isStarted(const std::string& serviceName) = 0;
    virtual ServiceLookup binaryPath(const std::string& serviceName) = 0;
};

}  // namespace velmora
