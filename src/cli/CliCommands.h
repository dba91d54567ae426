#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "app/Program.h"
#include "cli/ConsoleFrontEnd.h"

namespace velmora::cli {

// What the commands work on: the program over the console front end, and
// the two output streams.
struct CliSession {
    Program& program;
    ConsoleFrontEnd& frontEnd;
    std::ostream& out;
    std::ostream& err;
};

// Runs one command line and returns its exit code.
int runCommandLine(const std::vector<std::string>& arguments, CliSession& session);

}  // namespace velmora::cli
