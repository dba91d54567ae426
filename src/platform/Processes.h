#pragma once
#include <string>

#include "platform/Failure.h"

namespace velmora {

constexpr unsigned kDefaultWaitMs = 30000;
constexpr int kStillActive = 259;

class Processes {
public:
    virtual ~Processes() = default;
    // Runs `program` (a full path, never looked up on the search path) with
    // the command line as given and a hidden window, and waits at most waitMs.
    // Returns the exit code, 259 when it still runs, -1 when it cannot start.
    virtual int runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                 unsigned waitMs = kDefaultWaitMs) = 0;
    // Opens a document with the program the system associates with it.
    virtual Outcome openDocument(const std::string& path) = 0;
};

}  // namespace velmora
