#include "app/Journal.h"

#include <algorithm>

namespace velmora {

EventLevel levelOf(JournalEvent event) {
    switch (event) {
        case JournalEvent::StartFailed:
        case JournalEvent::NotReady:
        case JournalEvent::RollBackFailed: return EventLevel::Error;
        case JournalEvent::RolledBack:
        case JournalEvent::ChangeRolledBack:
        case JournalEvent::ForcedStop:
        case JournalEvent::SettingRefused: return EventLevel::Warning;
        default: return EventLevel::Information;
    }
}

namespace {

std::string lines(const std::vector<std::string>& details) {
    std::string text;
    for (const auto& line : details) text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

}  // namespace

void Journal::write(JournalEvent event, const std::string& name, const std::vector<std::string>& details) {
    const ProgramEvent written{static_cast<std::uint32_t>(event), levelOf(event), {name, lines(details)}};
    if (auto failure = log_.write(written)) debugLog_.logFailure(*failure, "write the event log");
}

void Journal::writeStartFailure(const std::string& name, const StartDiagnosis& failure) {
    // A Tomcat that runs without answering did start; it did not become ready.
    const JournalEvent event = failure.notServing ? JournalEvent::NotReady : JournalEvent::StartFailed;
    const ProgramEvent written{static_cast<std::uint32_t>(event),
                               levelOf(event),
                               {name, failure.sentence, failure.file.empty() ? "the service manager" : failure.file,
                                std::to_string(failure.line)}};
    if (auto problem = log_.write(written)) debugLog_.logFailure(*problem, "write the event log");
}

void Journal::record(const std::string& name, const Outcome& outcome, std::optional<JournalEvent> done,
                     std::vector<std::string> details) {
    if (outcome.startFailure) writeStartFailure(name, *outcome.startFailure);
    if (outcome.stopped && !outcome.stopped->graceful)
        write(JournalEvent::ForcedStop, name, {stopSentence(name, *outcome.stopped)});
    const bool settingsRan =
        std::find(outcome.steps.begin(), outcome.steps.end(), "apply the service settings") != outcome.steps.end();
    if (settingsRan && outcome.settingsApplied == false) write(JournalEvent::SettingRefused, name, outcome.warnings);
    if (!done || !outcome.done()) return;
    details.insert(details.begin(), outcome.summary);
    write(*done, name, details);
}

}  // namespace velmora
