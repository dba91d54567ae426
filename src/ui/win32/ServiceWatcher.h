#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/Handles.h"

namespace velmora {

// Tells a window, by a posted message, each time the service manager
// reports that a service changed state (NotifyServiceStatusChangeW), so that
// the window need not ask it over and over. Where the service manager cannot
// tell, notifying() turns false and the window asks on its timer.
class ServiceWatcher {
public:
    ServiceWatcher(HWND window, UINT message) : window_(window), message_(message) {}
    ~ServiceWatcher() { stop(); }
    ServiceWatcher(const ServiceWatcher&) = delete;
    ServiceWatcher& operator=(const ServiceWatcher&) = delete;

    // Follows this service from now on (nothing for an empty name).
    void follow(const std::string& serviceName);
    void stop();
    bool notifying() const { return notifying_; }
    const std::string& following() const { return name_; }

private:
    void watch(std::wstring name);

    HWND window_;
    UINT message_;
    std::string name_;
    Handle stopped_;
    std::thread thread_;
    std::atomic<bool> notifying_{false};
};

}  // namespace velmora
