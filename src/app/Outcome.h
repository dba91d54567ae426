#pragma once
#include <optional>
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "service/StartDiagnosis.h"
#include "service/StartWatch.h"
#include "service/StopWatch.h"

namespace velmora {

// What an operation did. Its warnings and questions came on the way, in
// their order; what it did is told once, by the front end, from here: the
// window shows the announcement and the notices as "Info" boxes, the command
// line prints the summary and the notices.
struct Outcome {
    enum class Result {
        Done,      // it got where it was asked to go
        Refused,   // a rule stopped it before anything changed
        Declined,  // the user answered No; nothing (more) changed
        Failed,    // it tried and did not get there
    };
    Result result = Result::Done;
    std::string summary;                         // one sentence on what happened
    std::vector<std::string> warnings;           // the warnings told and not accepted by a later Yes
    std::vector<std::string> steps;              // the steps that ran, in order
    std::vector<std::string> failedSteps;        // those of them that failed: one, and one of what undid it
    std::optional<StartDiagnosis> startFailure;  // why a start did not get the service running
    std::optional<StartTimes> started;           // how long a good start took
    std::optional<StopEvidence> stopped;         // how a stop of the running service went
    std::vector<Finding> findings;               // what a check before the operation found
    std::optional<std::uint64_t> downtimeMs;     // how long Tomcat was down for it
    std::string announcement;                    // the window's notice of what was done; empty when it shows none
    std::vector<std::string> notices;            // further things done that the user is told of
    // Where the service stands afterwards, for scripts: whether it is
    // installed, and whether the service manager took every setting.
    std::optional<bool> installed;
    std::optional<bool> settingsApplied;

    bool done() const { return result == Result::Done; }
    // A change that stands, and a start after it that failed: it did not get there, and says why.
    void failWithStart(std::optional<StartDiagnosis> failure) {
        startFailure = std::move(failure);
        if (!startFailure || !done()) return;
        result = Result::Failed;
        summary += " " + startFailure->sentence;
    }
    // Done, and said in the window too.
    static Outcome announced(std::string summary) {
        Outcome outcome;
        outcome.summary = summary;
        outcome.announcement = std::move(summary);
        return outcome;
    }
    static Outcome refused(std::string why) { return ended(Result::Refused, std::move(why)); }
    static Outcome declined(std::string why) { return ended(Result::Declined, std::move(why)); }
    static Outcome failed(std::string why) { return ended(Result::Failed, std::move(why)); }

private:
    static Outcome ended(Result result, std::string why) {
        Outcome outcome;
        outcome.result = result;
        outcome.summary = std::move(why);
        return outcome;
    }
};

}  // namespace velmora
