#pragma once
#include <optional>
#include <string>

namespace velmora {

// What a platform call reports when it fails: who failed, why, and the
// system's error number. Service control writes these into the debug log.
struct Failure {
    std::string source;
    std::string description;
    long number = 0;
};

// Empty when the operation succeeded.
using Outcome = std::optional<Failure>;

}  // namespace velmora

#include <stdexcept>

namespace velmora {

// Thrown by a step that cannot go on; service control turns it into the
// debug-log lines and carries on with its next step.
class StepFailure : public std::runtime_error {
public:
    explicit StepFailure(Failure failure)
        : std::runtime_error(failure.description), failure_(std::move(failure)) {}
    const Failure& failure() const { return failure_; }

private:
    Failure failure_;
};

}  // namespace velmora
