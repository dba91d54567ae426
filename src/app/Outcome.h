#pragma once
#include <optional>
#include <string>
#include <vector>

#include "service/StartDiagnosis.h"

namespace velmora {

// What an operation did. Its warnings and questions came on the way, in
// their order; what it did is told once, by the front end, from here.
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
    std::optional<StartDiagnosis> startFailure;  // why a start did not get the service running
    // What the user is told of what was done ("Info"), for the front end to show: the window as boxes, the
    // command line as lines.
    std::vector<std::string> notices;

    bool done() const { return result == Result::Done; }
    // Done, and the summary told.
    static Outcome succeeded(std::string summary) {
        std::vector<std::string> told{summary};
        return {Result::Done, std::move(summary), {}, {}, {}, std::move(told)};
    }
    static Outcome refused(std::string why) { return {Result::Refused, std::move(why), {}, {}, {}, {}}; }
    static Outcome declined(std::string why) { return {Result::Declined, std::move(why), {}, {}, {}, {}}; }
    static Outcome failed(std::string why) { return {Result::Failed, std::move(why), {}, {}, {}, {}}; }
};

}  // namespace velmora
