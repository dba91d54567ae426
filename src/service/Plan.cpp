#include "service/Plan.h"

namespace velmora {

PlanResult runPlan(const Plan& plan) {
    PlanResult result;
    for (const Step& step : plan) {
        StepResult done = step.run();
        result.ran.push_back(step.name);
        for (auto& warning : done.warnings) result.warnings.push_back(std::move(warning));
        for (auto& notice : done.notices) result.notices.push_back(std::move(notice));
        for (auto& logged : done.logged) result.logged.push_back(std::move(logged));
        if (!done.note.empty()) result.notes.push_back(std::move(done.note));
        if (!done.done) {
            result.completed = false;
            result.failedStep = step.name;
            break;
        }
    }
    return result;
}

}  // namespace velmora
