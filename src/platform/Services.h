#pragma once
#include <optional>
#include <string>
#include <variant>

#include "platform/Failure.h"

namespace velmora {

// What the service manager says of a name: the service's program line, or
// nothing when it knows no service of that name.
using ServiceLookup = std::variant<std::optional<std::string>, Failure>;

class Services {
public:
    virtual ~Services() = default;
    // Whether the service runs (any state but stopped). A name the service
    // manager does not know is a failure.
    virtual std::variant<bool, Failure> isStarted(const std::string& serviceName) = 0;
    virtual ServiceLookup binaryPath(const std::string& serviceName) = 0;
};

}  // namespace velmora
