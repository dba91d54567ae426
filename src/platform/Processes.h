#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Failure.h"

namespace velmora {

// How long an external command may run before it is stopped.
constexpr unsigned kProcessBoundMs = 30000;

struct ProcessRun {
    std::string program;  // a full path; never looked up on the search path
    std::string commandLine;
    unsigned boundMs = kProcessBoundMs;
    bool ansiOutput = false;  // writes in the Windows (ANSI) code page, not the console's OEM one
};

struct ProcessResult {
    enum class Ending {
        Exited,          // ended within the bound; exitCode holds its code
        NotStarted,      // failure says why
        StoppedAtBound,  // still ran at the bound and was ended
        LeftRunning,     // still ran at the bound and could not be ended
    };
    Ending ending = Ending::NotStarted;
    std::uint32_t exitCode = 0;
    Failure failure;
    std::string output;  // what it wrote to its standard output and error, as UTF-8

    bool exitedWith(std::uint32_t code) const { return ending == Ending::Exited && exitCode == code; }
};

class Processes {
public:
    virtual ~Processes() = default;
    // Runs the program hidden, without a console and without handing it any
    // handle of ours but the pipe that takes its output, and waits at most the bound.
    virtual ProcessResult run(const ProcessRun& run) = 0;
    // Opens a document with the program the system associates with it.
    virtual MaybeFailure openDocument(const std::string& path) = 0;
    // The process that started a running process; nothing when it is not
    // running or the system's list of processes cannot be read.
    virtual std::optional<std::uint32_t> parentOf(std::uint32_t processId) = 0;
};

}  // namespace velmora
