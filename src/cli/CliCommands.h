#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "app/Session.h"
#include "cli/ConsoleFrontEnd.h"
#include "config/ConfigurationTransfer.h"

namespace velmora::cli {

// What the commands work on: the session over the console front end,
// export and import, the platform's files and environment, and the two
// output streams.
struct CliSession {
    Session& session;
    ConsoleFrontEnd& frontEnd;
    ConfigurationTransfer& transfer;
    Platform& platform;
    std::ostream& out;
    std::ostream& err;
};

// Runs one command line and returns its exit code.
int runCommandLine(const std::vector<std::string>& arguments, CliSession& session);

}  // namespace velmora::cli
