#include "Registration.h"

#include <windows.h>

#include "ExitCodes.h"
#include "LaunchParameters.h"
#include "ServiceControl.h"

namespace velmora::wrapper {

namespace {

DWORD writeJvmLibrary(const std::string& serviceName, const std::string& jvmLibrary) {
    HKEY key = nullptr;
    DWORD error = RegCreateKeyExA(HKEY_LOCAL_MACHINE, parametersKeyPath(serviceName).c_str(), 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS) return error;
    error = RegSetValueExA(key, "JVM Library", 0, REG_SZ, reinterpret_cast<const BYTE*>(jvmLibrary.c_str()),
                           static_cast<DWORD>(jvmLibrary.size() + 1));
    RegCloseKey(key);
    return error;
}

}  // namespace

int installService(const InstallCommand& command, const std::string& ownPath) {
    const std::string binaryPath = "\"" + ownPath + "\" " + serviceSwitch + " " + command.serviceName;
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
