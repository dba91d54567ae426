#pragma once
#include <string>
#include <vector>

#include "cli/ConsoleFrontEnd.h"
#include "platform/memory/MemoryPlatform.h"

namespace velmora::testing {

// What a script sees of one velmora-cli run: the exit code and both streams.
struct CliRun {
    int code;
    std::string out;
    std::string err;
};

// One velmora-cli run on the in-memory platform, with a session of its own
// as a new process has.
CliRun runCli(MemoryPlatform& os, const std::vector<std::string>& arguments,
              cli::ConsoleFrontEnd::PasswordSource passwords = {});

}  // namespace velmora::testing
