#pragma once
#include "platform/Processes.h"

namespace velmora {

// Starts programs through CreateProcessA with a hidden window. Nothing here
// ever terminates a process it started.
class Win32Processes : public Processes {
public:
    int runHiddenAndWait(const std::string& commandLine, unsigned waitMs = kDefaultWaitMs) override;
    void startHidden(const std::string& commandLine, const std::string& workingFolder = "") override;
};

}  // namespace velmora
