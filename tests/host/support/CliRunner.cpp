#include "support/CliRunner.h"

#include <sstream>

#include "app/Imports.h"
#include "cli/CliCommands.h"

namespace velmora::testing {

CliRun runCli(MemoryPlatform& os, const std::vector<std::string>& arguments,
              cli::ConsoleFrontEnd::PasswordSource passwords) {
    std::ostringstream out, err;
    cli::ConsoleFrontEnd console(out, err, std::move(passwords));
    DebugLog log(os.files);
    Session session(os.platform, console, log);
    ConfigurationStore store(os.registry);
    ConfigurationTransfer transfer(store, os.files,
                                   [&os](const DecodedEntry& e) { return completedEntry(e, os.platform); });
    cli::CliSession cli{session, console, transfer, os.platform, out, err};
    const int code = cli::runCommandLine(arguments, cli);
    return {code, out.str(), err.str()};
}

}  // namespace velmora::testing
