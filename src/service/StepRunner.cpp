#include <exception>

#include "config/DoConfig.h"

namespace velmora {

void DoConfig::logFailure(const Failure& failure, const std::string& stepName) {
    window_.appendDebugLog("Err.Source: " + failure.source);
    window_.appendDebugLog("Err.Description: " + failure.description);
    window_.appendDebugLog("Err.Number: " + std::to_string(failure.number));
    window_.appendDebugLog("errStatus: " + stepName);
}

void DoConfig::runStep(const std::string& stepName, const std::function<void()>& step) {
    try {
        step();
    } catch (const StepFailure& e) {
        logFailure(e.failure(), stepName);
    } catch (const std::exception& e) {
        logFailure(Failure{"Velmora", e.what(), 0}, stepName);
    }
}

}  // namespace velmora
