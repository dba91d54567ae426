#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "service/StartEvidence.h"

namespace velmora {

// Why a start failed, told once: a short cause for the status line, the
// sentence with what to change and where it was read, and the lines that
// show it (or, when no known cause matched, the last lines read).
struct StartDiagnosis {
    std::string cause;
    std::string sentence;
    std::string file;  // empty when the service manager said it
    std::size_t line = 0;
    std::vector<std::string> evidence;
    std::vector<std::string> filesRead;
    FileTime at = 0;
    bool notServing = false;  // it ran, but did not answer in time
};

// What the diagnosis needs to know beyond the evidence.
struct DiagnosisContext {
    const Configuration& config;
    std::string account;  // as the service manager names it
    std::string jvmLibrary;
    bool jvmLibraryExists = true;
};

// Matches the evidence against the causes Velmora knows, the most telling first.
StartDiagnosis diagnoseStart(const StartEvidence& evidence, const DiagnosisContext& context);

// The most telling known cause among lines a JVM printed: its short cause and
// its sentence without a source; nothing when none is known.
struct KnownCause {
    std::string cause;
    std::string sentence;
};
std::optional<KnownCause> knownCauseOf(const std::vector<std::string>& lines, const DiagnosisContext& context);

// What a service manager's code means, for a sentence.
std::string serviceErrorText(std::uint32_t code);

}  // namespace velmora
