#pragma once
#include "platform/Processes.h"

namespace velmora {

// Starts programs through CreateProcessW, always naming the program itself so
// that no search path is consulted, hidden, without a console window and
// without any of our handles; ends them at their bound.
class Win32Processes : public Processes {
public:
    ProcessResult run(const ProcessRun& run) override;
    MaybeFailure openDocument(const std::string& path) override;
    std::optional<std::uint32_t> parentOf(std::uint32_t processId) override;
};

}  // namespace velmora
