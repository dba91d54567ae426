#include "Registration.h"

#include <windows.h>

#include "ExitCodes.h"
#include "LaunchParameters.h"
#include "ServiceHandle.h"

namespace velmora::wrapper {

namespace {

constexpr DWORD pollIntervalMs = 100;
// Wine's service manager may need a moment before another process can open
// a service that was just created.
constexpr DWORD visibilityTimeoutMs = 10000;
// Together well inside the 30 s the installer waits for this program.
constexpr DWORD stopTimeoutMs = 15000;
constexpr DWORD processExitTimeoutMs = 5000;

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

bool visibleToOthers(const std::string& serviceName) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
    if (!manager) return false;
    return ServiceHandle{OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_QUERY_STATUS)} != nullptr;
}

bool waitUntilVisible(const std::string& serviceName) {
    for (DWORD waited = 0;; waited += pollIntervalMs) {
        if (visibleToOthers(serviceName)) return true;
        if (waited >= visibilityTimeoutMs) return false;
        Sleep(pollIntervalMs);
    }
}

bool queryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS& status) {
    DWORD needed = 0;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                                &needed) != FALSE;
}

// Also waits for the process itself, so that its executable can be deleted next.
void stopAndWait(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status{};
    if (!queryStatus(service, status) || status.dwCurrentState == SERVICE_STOPPED) return;
    HANDLE process = status.dwProcessId != 0 ? OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId) : nullptr;

    SERVICE_STATUS ignored{};
    ControlService(service, SERVICE_CONTROL_STOP, &ignored);  // fails when already stopping; the wait covers that
    for (DWORD waited = 0; waited < stopTimeoutMs; waited += pollIntervalMs) {
        if (!queryStatus(service, status) || status.dwCurrentState == SERVICE_STOPPED) break;
        Sleep(pollIntervalMs);
    }
    if (process) {
        WaitForSingleObject(process, processExitTimeoutMs);
        CloseHandle(process);
    }
}

}  // namespace

int installService(const InstallCommand& command, const std::string& ownPath) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE)};
    if (!manager) return failureExitCode(GetLastError());
    std::string binaryPath = "\"" + ownPath + "\" " + serviceSwitch + " " + command.serviceName;
    ServiceHandle service{CreateServiceA(manager.get(), command.serviceName.c_str(), command.serviceName.c_str(),
                                         SERVICE_QUERY_STATUS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                         SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr, nullptr,
                                         nullptr, nullptr)};
    if (!service) return failureExitCode(GetLastError());

    // The installer writes "JVM Library" only when it updates a service, so a
    // fresh one gets it from this command line.
    if (DWORD error = writeJvmLibrary(command.serviceName, command.jvmLibrary); error != ERROR_SUCCESS)
        return failureExitCode(error);
    if (!waitUntilVisible(command.serviceName)) return failureExitCode(ERROR_TIMEOUT);
    return 0;
}

int uninstallService(const UninstallCommand& command) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
    if (!manager) return failureExitCode(GetLastError());
    ServiceHandle service{
        OpenServiceA(manager.get(), command.serviceName.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)};
    if (!service) return failureExitCode(GetLastError());
    stopAndWait(service.get());
    if (!DeleteService(service.get())) return failureExitCode(GetLastError());
    return 0;
}

}  // namespace velmora::wrapper
