#pragma once
#include <optional>
#include <string>

#include "platform/Failure.h"
#include "platform/Services.h"

namespace velmora {

enum class ServiceStatus { NotInstalled, Running, NotRunning, Unknown };

// The status line's words for each state.
const char* statusText(ServiceStatus status);

struct StatusCheck {
    ServiceStatus status = ServiceStatus::NotInstalled;
    std::optional<Failure> failure;  // why it is Unknown
};

// Not installed without asking anyone; otherwise what the service manager
// says. A quote cannot stand in the name by which the status is asked for.
StatusCheck checkServiceStatus(Services& services, const std::string& name, bool installed);

}  // namespace velmora
