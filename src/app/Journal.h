#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/DebugLog.h"
#include "app/Outcome.h"
#include "platform/EventLog.h"

namespace velmora {

// What Velmora tells the Application event log under its source "Velmora",
// by event id: the ids monitoring rules are written against (the README
// lists them), each with its message in the program's message table.
enum class JournalEvent : std::uint32_t {
    Installed = 1000,
    Uninstalled = 1001,
    Adopted = 1002,
    ChangeApplied = 1003,
    Upgraded = 1004,
    RolledBack = 1005,
    LogsPruned = 1006,
    ChangeRolledBack = 1007,
    RollBackFailed = 1008,
    StartFailed = 1100,
    NotReady = 1101,
    ForcedStop = 1102,
    SettingRefused = 1103,
};

EventLevel levelOf(JournalEvent event);

// The one place that writes events: an operation hands it the event and the
// configuration's name, or its outcome. Its texts are the outcome's, which
// never hold a password. A write that fails goes to the debug log and stops nothing.
class Journal {
public:
    Journal(EventLog& log, DebugLog& debugLog) : log_(log), debugLog_(debugLog) {}

    // The event's message shows the name, then the details one a line.
    void write(JournalEvent event, const std::string& name, const std::vector<std::string>& details = {});
    // Its cause sentence, then the file and line it comes from.
    void writeStartFailure(const std::string& name, const StartDiagnosis& failure);
    // What an operation's outcome calls for: a failed start, the service
    // manager's refusal of a setting it was given, and, when the operation
    // got where it was asked to, its own event with the details.
    void record(const std::string& name, const Outcome& outcome, std::optional<JournalEvent> done = std::nullopt,
                std::vector<std::string> details = {});

private:
    EventLog& log_;
    DebugLog& debugLog_;
};

}  // namespace velmora
