#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"

namespace velmora {

// One entry the service manager wrote to the System event log: its event id
// and its insertion strings (the service's display name first, for most).
struct ServiceManagerEvent {
    FileTime written = 0;
    std::uint32_t eventId = 0;
    std::vector<std::string> strings;
};

class EventLog {
public:
    virtual ~EventLog() = default;
    // The service manager's entries written at or after the moment, oldest
    // first; none when the log cannot be read.
    virtual std::vector<ServiceManagerEvent> serviceManagerEvents(FileTime since) = 0;
};

}  // namespace velmora
