#include "ServiceControl.h"

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

std::string ownExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

DWORD createDemandService(const std::string& serviceName, const std::string& displayName,
                          const std::string& binaryPath) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE)};
    if (!manager) return GetLastError();
    ServiceHandle service{CreateServiceA(manager.get(), serviceName.c_str(), displayName.c_str(),
                                         SERVICE_QUERY_STATUS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                         SERVICE_ERROR_NORMAL, binaryPath.c_str(), nullptr, nullptr, nullptr,
                                         nullptr, nullptr)};
    if (!service) return GetLastError();
    return waitUntilVisible(serviceName) ? ERROR_SUCCESS : ERROR_TIMEOUT;
}

DWORD stopAndDeleteService(const std::string& serviceName) {
    ServiceHandle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
    if (!manager) return GetLastError();
    ServiceHandle service{
        OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)};
    if (!service) return GetLastError();
    stopAndWait(service.get());
    if (!DeleteService(service.get())) return GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace velmora::wrapper
