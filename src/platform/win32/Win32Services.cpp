#include "platform/win32/Win32Services.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/WideText.h"

namespace velmora {

std::variant<bool, Failure> Win32Services::isStarted(const std::string& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_QUERY_STATUS));
    if (!service) return lastErrorFailure("OpenServiceW");
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.get(), &status)) return lastErrorFailure("QueryServiceStatus");
    // Starting, pausing and paused all count as started; only stopped does not.
    return status.dwCurrentState != SERVICE_STOPPED;
}

ServiceLookup Win32Services::binaryPath(const std::string& serviceName) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerW");
    const ServiceHandle service(OpenServiceW(manager.get(), wide(serviceName).c_str(), SERVICE_QUERY_CONFIG));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) return std::optional<std::string>();
        return systemFailure("OpenServiceW", error);
    }
    DWORD needed = 0;
    QueryServiceConfigW(service.get(), nullptr, 0, &needed);
    // Whole records, so that the buffer is aligned for the one at its start.
    std::vector<QUERY_SERVICE_CONFIGW> buffer(needed / sizeof(QUERY_SERVICE_CONFIGW) + 1);
    QUERY_SERVICE_CONFIGW* config = buffer.data();
    if (!QueryServiceConfigW(service.get(), config, static_cast<DWORD>(buffer.size() * sizeof *config), &needed))
        return lastErrorFailure("QueryServiceConfigW");
    return std::optional<std::string>(narrow(config->lpBinaryPathName));
}

}  // namespace velmora
