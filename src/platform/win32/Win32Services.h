#pragma once
#include "platform/Services.h"

namespace velmora {

// Asks the Service Control Manager about a service.
class Win32Services : public Services {
public:
    std::variant<bool, Failure> isStarted(const std::string& serviceName) override;
    ServiceLookup binaryPath(const std::string& serviceName) override;
};

}  // namespace velmora
