#include <windows.h>

#include <cstdio>
#include <string>
#include <variant>

#include "CommandLine.h"
#include "ExitCodes.h"
#include "LaunchParameters.h"
#include "Registration.h"
#include "ServiceControl.h"
#include "ServiceRun.h"
#include "TextFile.h"
#include "platform/win32/WideText.h"

using namespace velmora::wrapper;

namespace {

int printUsage(const std::string& ownPath) {
    std::string program = ownPath.substr(ownPath.find_last_of("\\/") + 1);
    std::fprintf(stderr,
                 "usage: %s -install <service name> <path of jvm.dll> -start main\n"
                 "       %s -uninstall <service name>\n",
                 program.c_str(), program.c_str());
    return usageExitCode;
}

// A wrapper that never comes back, for the tests of what the installer does
// then. A test sets the variable for the program it starts, which hands its
// environment on to us; Velmora sets no variable of its own.
bool toldToHang() { return GetEnvironmentVariableW(L"VELMORA_TEST_WRAPPER_HANGS", nullptr, 0) > 0; }

}  // namespace

int main() {
    noteRunForTests();
    const std::string ownPath = ownExecutablePath();
    // The whole line as Windows hands it over: the installer's unquoted
    // program path is read by the parser itself.
    const Command command = parseCommandLine(velmora::narrow(GetCommandLineW()));
    if (const auto* install = std::get_if<InstallCommand>(&command)) {
        if (toldToHang()) Sleep(INFINITE);
        return installService(*install, ownPath);
    }
    if (const auto* uninstall = std::get_if<UninstallCommand>(&command)) return uninstallService(*uninstall);
    if (const auto* service = std::get_if<ServiceCommand>(&command))
        return runService(service->serviceName, readLaunchParameters);
    return printUsage(ownPath);
}
