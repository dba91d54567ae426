#pragma once
#include <string>
#include <variant>

#include "platform/Failure.h"

namespace velmora {

// Asks the system whether a service is started (any state but stopped).
// A name the system does not know is a failure.
class Services {
public:
    virtual ~Services() = default;
    virtual std::variant<bool, Failure> isStarted(const std::string& serviceName) = 0;
};

}  // namespace velmora
