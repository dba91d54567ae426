#pragma once
#include "platform/Processes.h"

namespace velmora {

// Starts programs through CreateProcessA with a hidden window, always naming
// the program itself so that no search path is consulted. Nothing here ever
// terminates a process it started.
class Win32Processes : public Processes {
public:
    int runHiddenAndWait(const std::string& program, const std::string& commandLine,
                         unsigned waitMs = kDefaultWaitMs) override;
    Outcome openDocument(const std::string& path) override;
};

}  // namespace velmora
