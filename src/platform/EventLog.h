#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Failure.h"

namespace velmora {

// One entry the service manager wrote to the System event log: its event id
// and its insertion strings (the service's display name first, for most).
struct ServiceManagerEvent {
    FileTime written = 0;
    std::uint32_t eventId = 0;
    std::vector<std::string> strings;
    std::uint32_t record = 0;  // its number in the log, which counts up; 0 when not known
};

// One event Velmora writes to the Application log under its own source: its
// id in the program's message table, its level, and the texts its message
// takes in order (%1, %2, ...).
enum class EventLevel { Information, Warning, Error };
struct ProgramEvent {
    std::uint32_t id = 0;
    EventLevel level = EventLevel::Information;
    std::vector<std::string> strings;
};

class EventLog {
public:
    virtual ~EventLog() = default;
    // The service manager's entries written at or after the moment, oldest
    // first; none when the log cannot be read.
    virtual std::vector<ServiceManagerEvent> serviceManagerEvents(FileTime since) = 0;
    // The newest entry's number in the System log; 0 when it is empty or cannot be read.
    virtual std::uint32_t newestServiceManagerRecord() = 0;
    // Writes under the source "Velmora", registered for the running program
    // on first use when Windows does not know it yet.
    virtual MaybeFailure write(const ProgramEvent& event) = 0;
};

}  // namespace velmora
