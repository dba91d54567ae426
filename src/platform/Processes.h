#pragma once
#include <string>

namespace velmora {

constexpr unsigned kDefaultWaitMs = 30000;
constexpr int kStillActive = 259;

class Processes {
public:
    virtual ~Processes() = default;
    // Runs a command line with a hidden window and waits at most waitMs.
    // Returns the exit code, 259 when it still runs, -1 when it cannot start.
    virtual int runHiddenAndWait(const std::string& commandLine, unsigned waitMs = kDefaultWaitMs) = 0;
    // Starts a command line hidden and returns at once. An empty workingFolder
    // keeps the program's own current directory.
    virtual void startHidden(const std::string& commandLine, const std::string& workingFolder = "") = 0;
};

}  // namespace velmora
