#include "platform/win32/Win32Services.h"

#include <windows.h>

#include <memory>
#include <type_traits>

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

}  // namespace velmora
