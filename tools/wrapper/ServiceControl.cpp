#include "ServiceControl.h"

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora::wrapper {

namespace {

constexpr DWORD pollIntervalMs = 100;
// Wine's service manager may need a moment before another process can open
// a service that was just created.
constexpr DWORD visibilityTimeoutMs = 10000;
// Together well inside the 30 s the installer waits for this program.
constexpr DWORD stopTimeoutMs = 15000;
constexpr DWORD processExitTimeoutMs = 5000;

bool visibleToOthers(const std::wstring& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    return manager && ServiceHandle(OpenServiceW(manager.get(), serviceName.c_str(), SERVICE_QUERY_STATUS));
}

bool waitUntilVisible(const std::wstring& serviceName) {
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
    const Handle process(status.dwProcessId != 0 ? OpenProcess(SYNCHRONIZE, FALSE, status.dwProcessId) : nullptr);

    SERVICE_STATUS ignored{};
    ControlService(service, SERVICE_CONTROL_STOP, &ignored);  // fails when already stopping; the wait covers that
    for (DWORD waited = 0; waited < stopTimeoutMs; waited += pollIntervalMs) {
        if (!queryStatus(service, status) || status.dwCurrentState == SERVICE_STOPPED) break;
        Sleep(pollIntervalMs);
    }
    if (process) WaitForSingleObject(process.get(), processExitTimeoutMs);
}

}  // namespace

std::string ownExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return narrow(path.substr(0, length));
        path.resize(path.size() * 2);
    }
}

DWORD createDemandService(const std::string& serviceName, const std::string& displayName,
                          const std::string& binaryPath) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) return GetLastError();
    const std::wstring name = wide(serviceName);
    const ServiceHandle service(CreateServiceW(manager.get(), name.c_str(), wide(displayName).c_str(),
                                               SERVICE_QUERY_STATUS, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                               SERVICE_ERROR_NORMAL, wide(binaryPath).c_str(), nullptr, nullptr,
                                               nullptr, nullptr, nullptr));
    if (!service) return GetLastError();
    return waitUntilVisible(name) ? ERROR_SUCCESS : ERROR_TIMEOUT;
}

DWORD stopAndDeleteService(const std::string& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return GetLastError();
    const ServiceHandle service(
        OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE));
    if (!service) return GetLastError();
    stopAndWait(service.get());
    if (!DeleteService(service.get())) return GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace velmora::wrapper
