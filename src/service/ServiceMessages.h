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

// Refusals and outcomes of the safety rules: Velmora touches only what it made.
inline std::string foreignService(const std::string& name, const std::string& binaryPath) {
    return "A service named \"" + name + "\" already exists on this computer and was not installed by Velmora "
           "for this configuration (it runs " + binaryPath + "). Nothing was changed.";
}
inline std::string serviceLookupFailed(const std::string& name, const std::string& reason) {
    return "The service manager could not be asked about the service \"" + name + "\": " + reason +
           " Nothing was changed.";
}
inline std::string foreignWrapperCopy(const std::string& path, const std::string& source) {
    return "The file " + path + " is not a copy of " + source +
           " made by Velmora, so Velmora neither runs, replaces nor deletes it. Nothing was changed.";
}
inline std::string serviceNotRegistered(const std::string& name, int exitCode) {
    return "The service wrapper did not register the service \"" + name + "\" (exit code " +
           std::to_string(exitCode) + "). The service is not installed; see the diagnostic report and the "
           "wrapper's own log for the reason.";
}
inline std::string serviceStillRegistered(const std::string& name, int exitCode) {
    return "The service \"" + name + "\" is still registered: the service wrapper did not remove it (exit code " +
           std::to_string(exitCode) + "). Stop it and try again.";
}
inline std::string wrapperCopyStillThere(const std::string& name, const std::string& path) {
    return "The service \"" + name + "\" has been removed, but its wrapper copy " + path +
           " could not be deleted: it may still be in use. Delete it once the service's program has ended.";
}

}  // namespace velmora::messages
