#pragma once
#include "platform/Services.h"

namespace velmora {

// Asks the Service Control Manager for a service's current state.
class Win32Services : public Services {
public:
    std::variant<bool, Failure> isStarted(const std::string& serviceName) override;
};

}  // namespace velmora
