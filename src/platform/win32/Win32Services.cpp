#include "platform/win32/Win32Services.h"

#include <windows.h>

#include <memory>
#include <type_traits>
#include <vector>

#include "platform/win32/SystemFailure.h"

namespace velmora {
namespace {

struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using ServiceHandle = std::unique_ptr<std::remove_pointer_t<SC_HANDLE>, ServiceHandleCloser>;

}  // namespace

std::variant<bool, Failure> Win32Services::isStarted(const std::string& serviceName) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerA");
    ServiceHandle service(OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_QUERY_STATUS));
    if (!service) return lastErrorFailure("OpenServiceA");
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service.get(), &status)) return lastErrorFailure("QueryServiceStatus");
    // Starting, pausing and paused all count as started; only stopped does not.
    return status.dwCurrentState != SERVICE_STOPPED;
}

ServiceLookup Win32Services::binaryPath(const std::string& serviceName) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return lastErrorFailure("OpenSCManagerA");
    ServiceHandle service(OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) {
        const DWORD error = GetLastError();
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) return std::optional<std::string>();
        return systemFailure("OpenServiceA", error);
    }
    DWORD needed = 0;
    QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    // Whole records, so that the buffer is aligned for the one at its start.
    std::vector<QUERY_SERVICE_CONFIGA> buffer(needed / sizeof(QUERY_SERVICE_CONFIGA) + 1);
    QUERY_SERVICE_CONFIGA* config = buffer.data();
    if (!QueryServiceConfigA(service.get(), config, static_cast<DWORD>(buffer.size() * sizeof *config), &needed))
        return lastErrorFailure("QueryServiceConfigA");
    return std::optional<std::string>(config->lpBinaryPathName ? config->lpBinaryPathName : "");
}

}  // namespace velmora
