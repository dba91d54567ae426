#pragma once
#include <ostream>

#include "cli/CliArguments.h"
#include "cli/ConsoleMessageBoxes.h"
#include "cli/ConsoleSurface.h"
#include "config/ConfigurationTransfer.h"
#include "config/DoConfig.h"

namespace velmora::cli {

// What the commands work on: DoConfig over the console surface and boxes,
// export and import, and the two output streams.
struct CliSession {
    DoConfig& config;
    ConsoleSurface& surface;
    ConsoleMessageBoxes& boxes;
    ConfigurationTransfer& transfer;
    Files& files;
    TextConversion text;
    std::ostream& out;
    std::ostream& err;
};

// Runs one command line and returns its exit code.
int runCommandLine(const std::vector<std::string>& arguments, CliSession& session);

}  // namespace velmora::cli
