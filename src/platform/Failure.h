#pragma once
#include <optional>
#include <string>

namespace velmora {

// What a platform call reports when it fails: which call, why, and the
// system's error number. Service control writes these into the debug log.
struct Failure {
    std::string source;
    std::string description;
    long number = 0;
};

// Empty when the call succeeded.
using MaybeFailure = std::optional<Failure>;

}  // namespace velmora
