#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Failure.h"

namespace velmora {

// Shows what a long step is doing while it runs ("Stopping the ... service").
class Progress {
public:
    virtual ~Progress() = default;
    virtual void begin(const std::string& notice) = 0;
    virtual void end() = 0;
    // What a program that ran wrote, for whoever asked to see everything.
    virtual void detail(const std::string&) {}
};

// A failure of the system for the debug log, with the name of its step.
struct LoggedFailure {
    Failure failure;
    std::string step;
};

struct StepResult {
    bool done = true;
    std::vector<std::string> warnings;  // for the user; a failed step says why here
    std::string note;                   // what a program said that may explain a later outcome
    std::vector<std::string> notices;   // what was done that the user is told of ("Info")
    std::vector<LoggedFailure> logged;

    static StepResult failed(std::string why) {
        StepResult result;
        result.done = false;
        result.warnings.push_back(std::move(why));
        return result;
    }
    void warn(std::string text) { warnings.push_back(std::move(text)); }
};

struct Step {
    std::string name;
    std::function<StepResult()> run;
};
using Plan = std::vector<Step>;

// What running a plan did: the steps that ran, in order, and where it stopped.
struct PlanResult {
    bool completed = true;
    std::vector<std::string> ran;
    std::vector<std::string> notes;
    std::string failedStep;
    std::vector<std::string> warnings;
    std::vector<std::string> notices;
    std::vector<LoggedFailure> logged;
};

// Runs the steps in order and stops at the first that fails.
PlanResult runPlan(const Plan& plan);

inline void append(Plan& plan, Plan more) {
    for (auto& step : more) plan.push_back(std::move(step));
}

}  // namespace velmora
