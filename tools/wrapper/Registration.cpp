#include "Registration.h"

#include <windows.h>

#include "ExitCodes.h"
#include "LaunchParameters.h"
#include "ServiceControl.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::wrapper {

namespace {

// Stored as the wrapper stores it, with its terminating NUL.
DWORD writeJvmLibrary(const std::string& serviceName, const std::string& jvmLibrary) {
    const MaybeFailure failure = Win32Registry().write(kLocalMachine, parametersKeyPath(serviceName),
                                                       {RegistryWrite::textValue("JVM Library", jvmLibrary + '\0')});
    return failure ? static_cast<DWORD>(failure->number) : ERROR_SUCCESS;
}

}  // namespace

int installService(const InstallCommand& command, const std::string& ownPath) {
    // Unquoted, as the classic wrapper registers itself, even where its path has a blank.
    const std::string binaryPath = ownPath + " " + serviceSwitch + " " + command.serviceName;
    if (DWORD error = createDemandService(command.serviceName, command.serviceName, binaryPath); error != ERROR_SUCCESS)
        return failureExitCode(error);
    // The installer writes "JVM Library" only when it updates a service, so a
    // fresh one gets it from this command line.
    if (DWORD error = writeJvmLibrary(command.serviceName, command.jvmLibrary); error != ERROR_SUCCESS)
        return failureExitCode(error);
    return 0;
}

int uninstallService(const UninstallCommand& command) {
    if (DWORD error = stopAndDeleteService(command.serviceName); error != ERROR_SUCCESS) return failureExitCode(error);
    return 0;
}

}  // namespace velmora::wrapper
