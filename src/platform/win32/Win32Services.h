#pragma once
#include "platform/Services.h"

namespace velmora {

// Asks the Service Control Manager about a service.
class Win32Services : public Services {
public:
    std::variant<bool, Failure> isStarted(const std::string& serviceName) override;
    ServiceLookup binaryPath(const std::string& serviceName) override;
    std::variant<ServiceState, Failure> state(const std::string& serviceName) override;
    std::variant<ServiceConfiguration, Failure> configuration(const std::string& serviceName) override;
    std::vector<SettingFailure> configure(const std::string& serviceName, const ServiceConfiguration& wanted,
                                          const std::string& password,
                                          const std::vector<ServiceSetting>& settings) override;
    MaybeFailure setProgramLine(const std::string& serviceName, const std::string& programLine) override;
    std::variant<std::vector<std::string>, Failure> serviceNames() override;
};

}  // namespace velmora
