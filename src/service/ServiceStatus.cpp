#include <cstdint>

#include "config/DoConfig.h"
#include "service/ServiceCommands.h"
#include "service/ServiceMessages.h"

namespace velmora {

namespace {
// WMI names a service by the object path Win32_Service.Name='<name>'; a
// quote in the name cannot stand in that path.
constexpr long kInvalidObjectPath = static_cast<std::int32_t>(0x8004103Au);
}  // namespace

void DoConfig::checkServiceStatus() {
    if (!installedAsService_) {
        window_.setStartEnabled(false);
        serviceRunning_ = false;
        window_.setStatusText(messages::kStatusNotInstalled);
        return;
    }
    std::variant<bool, Failure> answer =
        config_.serviceName.find('\'') != std::string::npos
            ? std::variant<bool, Failure>(Failure{"SWbemServicesEx", "Invalid object path", kInvalidObjectPath})
            : platform_.services.isStarted(config_.serviceName);
    if (const Failure* failure = std::get_if<Failure>(&answer)) {
        logFailure(*failure, "check service status");
        window_.setStatusText(messages::kStatusUnknown);
        window_.setStartEnabled(false);
        serviceRunning_ = true;
        return;
    }
    serviceRunning_ = std::get<bool>(answer);
    window_.setStartEnabled(true);
    window_.setStatusText(serviceRunning_ ? messages::kStatusRunning : messages::kStatusStopped);
    window_.setStartCaption(serviceRunning_ ? messages::kStopCaption : messages::kStartCaption);
}

void DoConfig::runServiceCommand(const std::string& verb, const std::string& notice) {
    // The notice goes away whatever happens while it is up.
    struct NoticeShown {
        WindowSurface& window;
        ~NoticeShown() { window.hideNotice(); }
    } shown{window_};
    window_.showNotice(notice);
    platform_.processes.runHiddenAndWait(platform_.environment.systemFolder() + "\\net.exe",
                                         netCommand(verb, config_.serviceName));
    checkServiceStatus();
}

void DoConfig::stopService() { runServiceCommand("stop", messages::stoppingNotice(config_.serviceName)); }

void DoConfig::startService() { runServiceCommand("start", messages::startingNotice(config_.serviceName)); }

}  // namespace velmora
