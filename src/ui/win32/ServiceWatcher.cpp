#include "ui/win32/ServiceWatcher.h"

#include "platform/win32/WideText.h"

namespace velmora {

namespace {

constexpr DWORD kEveryState = SERVICE_NOTIFY_STOPPED | SERVICE_NOTIFY_START_PENDING | SERVICE_NOTIFY_STOP_PENDING |
                              SERVICE_NOTIFY_RUNNING | SERVICE_NOTIFY_CONTINUE_PENDING | SERVICE_NOTIFY_PAUSE_PENDING |
                              SERVICE_NOTIFY_PAUSED | SERVICE_NOTIFY_DELETE_PENDING;
// The service manager asks for the notification again (winerror.h has it, MinGW's does not).
constexpr DWORD kNotifyClientLagging = 1294;
// A service that is not there yet is looked for again, and the handles let go, after a while.
constexpr DWORD kRetryMs = 2000;

struct Notice {
    SERVICE_NOTIFYW notify{};
    HWND window = nullptr;
    UINT message = 0;
};

// The mask bit of a state: SERVICE_STOPPED (1) is SERVICE_NOTIFY_STOPPED (1), and so on, each the next bit.
DWORD notifyBitOf(DWORD state) { return state >= 1 && state <= 7 ? 1u << (state - 1) : 0; }

void CALLBACK reported(void* parameter) {
    auto* notice = static_cast<Notice*>(static_cast<SERVICE_NOTIFYW*>(parameter)->pContext);
    PostMessageW(notice->window, notice->message, 0, 0);
}

}  // namespace

void ServiceWatcher::follow(const std::string& serviceName) {
    if (thread_.joinable() && serviceName == name_) return;
    stop();
    name_ = serviceName;
    if (serviceName.empty()) return;
    stopped_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stopped_) return;
    notifying_ = true;
    thread_ = std::thread([this, name = wide(serviceName)] { watch(name); });
}

void ServiceWatcher::stop() {
    if (!thread_.joinable()) return;
    SetEvent(stopped_.get());
    thread_.join();
    stopped_.reset();
    notifying_ = false;
}

// The callback comes as an asynchronous call to this thread while it waits
// alertably. The state the service is in is left out of what is asked for,
// or the service manager would report it at once, over and over. The handles
// are let go every little while: a service that is removed meanwhile goes
// only once no handle is open on it.
void ServiceWatcher::watch(std::wstring name) {
    DWORD known = 0;  // the state last seen
    for (;;) {
        // Made before the handles and so gone after them: closing them cancels what is asked for.
        Notice notice;
        notice.window = window_;
        notice.message = message_;
        notice.notify.dwVersion = SERVICE_NOTIFY_STATUS_CHANGE;
        notice.notify.pfnNotifyCallback = reported;
        notice.notify.pContext = &notice;
        ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        ServiceHandle service(manager ? OpenServiceW(manager.get(), name.c_str(), SERVICE_QUERY_STATUS) : nullptr);
        SERVICE_STATUS status{};
        if (!service || !QueryServiceStatus(service.get(), &status)) {
            if (WaitForSingleObjectEx(stopped_.get(), kRetryMs, TRUE) == WAIT_OBJECT_0) return;
            continue;
        }
        if (known != 0 && status.dwCurrentState != known) PostMessageW(window_, message_, 0, 0);
        known = status.dwCurrentState;
        const DWORD asked =
            NotifyServiceStatusChangeW(service.get(), kEveryState & ~notifyBitOf(known), &notice.notify);
        if (asked == ERROR_SERVICE_MARKED_FOR_DELETE || asked == kNotifyClientLagging) {
            // Let go at once, so that a removed service can go.
            service.reset();
            manager.reset();
            PostMessageW(window_, message_, 0, 0);
        } else if (asked != ERROR_SUCCESS) {
            notifying_ = false;  // the window asks on its timer instead
            WaitForSingleObject(stopped_.get(), INFINITE);
            return;
        }
        const DWORD waited = WaitForSingleObjectEx(stopped_.get(), kRetryMs, TRUE);
        if (waited == WAIT_OBJECT_0) return;
        if (waited == WAIT_IO_COMPLETION) known = notice.notify.ServiceStatus.dwCurrentState;
    }
}

}  // namespace velmora
