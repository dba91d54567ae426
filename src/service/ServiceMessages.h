#pragma once
#include <string>

namespace velmora::messages {

// The two service buttons carry their state in their captions.
inline const std::string kInstallCaption = "Install";
inline const std::string kUninstallCaption = "Uninstall";
inline const std::string kStartCaption = "Start";
inline const std::string kStopCaption = "Stop";

inline const std::string kStatusRunning = "Installed - Running";
inline const std::string kStatusStopped = "Installed - Not Running";
inline const std::string kStatusNotInstalled = "Not installed";
inline const std::string kStatusUnknown = "Unable to determine";

inline std::string stoppingNotice(const std::string& name) { return "Stopping the \"" + name + "\" service..."; }
inline std::string startingNotice(const std::string& name) { return "Starting the \"" + name + "\" service..."; }

inline std::string reportQuestion(const std::string& reportPath) {
    return "A potential configuration error has been detected and a diagnostic report is being launched. "
           " Click 'OK' to continue anyway or 'Cancel' to abort.\r\n\r\n"
           "(Note: if the report does not launch automatically, you can view it at \"" +
           reportPath + "\"";
}

inline std::string runningServiceQuestion(const std::string& name) {
    return "Configuration for service \"" + name +
           "\" has been updated, however the service is currently running. To reliably apply the "
           "changes the service should be uninstalled and reinstalled.\r\n\r\nDo that now?";
}

inline std::string serviceInstalled(const std::string& name) { return "Service \"" + name + "\" installed."; }
inline std::string serviceUninstalled(const std::string& name) {
    return "Service \"" + name + "\" has been uninstalled.";
}

}  // namespace velmora::messages
