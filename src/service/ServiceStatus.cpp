#include "service/ServiceStatus.h"

#include <cstdint>

namespace velmora {

namespace {
constexpr long kInvalidObjectPath = static_cast<std::int32_t>(0x8004103Au);
}

const char* statusText(ServiceStatus status) {
    switch (status) {
        case ServiceStatus::NotInstalled: return "Not installed";
        case ServiceStatus::Running: return "Installed - Running";
        case ServiceStatus::NotRunning: return "Installed - Not Running";
        case ServiceStatus::Unknown: return "Unable to determine";
    }
    return "";
}

StatusCheck checkServiceStatus(Services& services, const std::string& name, bool installed) {
    if (!installed) return {ServiceStatus::NotInstalled, std::nullopt};
    if (name.find('\'') != std::string::npos)
        return {ServiceStatus::Unknown, Failure{"SWbemServicesEx", "Invalid object path", kInvalidObjectPath}};
    const auto answer = services.isStarted(name);
    if (const Failure* failure = std::get_if<Failure>(&answer)) return {ServiceStatus::Unknown, *failure};
    return {std::get<bool>(answer) ? ServiceStatus::Running : ServiceStatus::NotRunning, std::nullopt};
}

}  // namespace velmora
