// velmora-cli.exe: the command line over the real platform.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/Imports.h"
#include "cli/CliCommands.h"
#include "platform/Text.h"
#include "platform/win32/Win32Platform.h"

int wmain(int argc, wchar_t** argv) {
    using namespace velmora;
    // Everything printed is UTF-8, and the console shows it so.
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(fromUtf16(std::u16string(reinterpret_cast<const char16_t*>(argv[i]))));

    Win32Platform system;
    cli::ConsoleFrontEnd frontEnd(std::cout, std::cerr);
    DebugLog debugLog(system.files);
    Session session(system.platform, frontEnd, debugLog);
    ConfigurationStore store(system.registry);
    ConfigurationTransfer transfer(store, system.files,
                                   [&](const DecodedEntry& entry) { return completedEntry(entry, system.platform); });

    cli::CliSession cli{session, frontEnd, transfer, system.files, system.environment, std::cout, std::cerr};
    const int code = cli::runCommandLine(arguments, cli);
    std::cout.flush();
    return code;
}
