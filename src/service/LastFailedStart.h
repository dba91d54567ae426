#pragma once
#include <optional>
#include <string>

#include "platform/Registry.h"
#include "service/StartDiagnosis.h"

namespace velmora {

// What is kept of a service's last failed start until a start succeeds: the
// moment, its cause, and the file and line it was read from; no line of any
// log, as the service's own key is one every local user may read. The window,
// velmora-cli and the report show it, and it goes with the service.
inline const std::string kLastFailedStartValue = "VelmoraLastFailedStart";
MaybeFailure keepLastFailedStart(Registry& registry, const std::string& serviceName, const StartDiagnosis& diagnosis);
MaybeFailure forgetLastFailedStart(Registry& registry, const std::string& serviceName);

struct KeptFailedStart {
    std::optional<StartDiagnosis> diagnosis;  // cause, file, line and moment only
    bool unreadable = false;                  // a kept value that does not parse; it is dropped
};
KeptFailedStart lastFailedStart(Registry& registry, const std::string& serviceName);

}  // namespace velmora
