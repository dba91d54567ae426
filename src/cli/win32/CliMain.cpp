// velmora-cli.exe: the command line over the real platform.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "platform/win32/AnsiText.h"
#include "platform/win32/Win32Platform.h"

int main(int argc, char** argv) {
    using namespace velmora;
    std::vector<std::string> arguments(argv + 1, argv + argc);

    Win32Platform system;
    cli::ConsoleMessageBoxes boxes(std::cout, std::cerr);
    Platform platform{system.registry, system.processes, system.files, system.services, system.environment, boxes};
    cli::ConsoleSurface surface;
    DoConfig config(platform, surface);
    const TextConversion text{ansiToUtf8, utf8ToAnsi};
    ConfigurationTransfer transfer(system.registry, text);

    cli::CliSession session{config, surface, boxes, transfer, system.files, text, std::cout, std::cerr};
    const int code = cli::runCommandLine(arguments, session);
    std::cout.flush();
    return code;
}
