#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "platform/Platform.h"
#include "service/WrapperParameters.h"
#include "ui/WindowSurface.h"

namespace velmora {

// WriteOnly writes the report and opens it never.
enum class ReportMode { WriteOnly = 0, Always = 1, OnProblems = 2 };

// The module state of the program and every operation on configurations and
// services. Operations are defined in the folder of their subsystem:
// config/ (store and defaults), checks/ (setters, checks, propagation,
// report) and service/ (install, removal, status, start and stop).
class DoConfig {
public:
    DoConfig(Platform& platform, WindowSurface& window) : platform_(platform), window_(window) {}

    // --- registry wrappers (HKEY_LOCAL_MACHINE)
    std::string readMachineString(const std::string& subkey, const std::string& name);
    void writeMachineString(const std::string& subkey, const std::string& name, const std::string& text);
    std::int32_t readMachineDword(const std::string& subkey, const std::string& name);
    void writeMachineDword(const std::string& subkey, const std::string& name, std::int32_t value);

    // --- store and defaults
    void newConfiguration();
    void loadConfiguration(const std::string& name);
    // False when the save was refused or declined.
    bool saveConfiguration(bool announce);
    // False when the delete was refused or declined, or its service stayed.
    bool deleteConfiguration(bool quiet);
    // The names for the open dialog: the text it starts with, then its items.
    std::vector<std::string> storedConfigurationNames();

    // --- setters
    void setServiceName(const std::string& value);
    void setDescription(const std::string& value);
    void setCatalinaHome(const std::string& value);
    void setCatalinaBase(const std::string& value);
    void setTomcatConfigFile(const std::string& value);
    void setUseSecurityManager(std::int16_t value);
    void setSecurityPolicyFile(const std::string& value);
    void setJavaHome(const std::string& value);
    void setTempDirectory(const std::string& value);
    void setSystemOut(const std::string& value);
    void setSystemErr(const std::string& value);
    void setInitialHeapSize(const std::string& value);
    void setMaxHeapSize(const std::string& value);
    void setThreadStackSize(const std::string& value);
    void setReduceOsSignals(std::int16_t value);
    void setClassPath(const std::string& value);
    void setJvmType(bool server);
    void selectJvmFromWindow();
    void collectJvmOptions();

    // --- checks (each returns its message, empty when all is well)
    int promptUser(const std::string& text, int buttons, const std::string& title);
    std::string checkFolderOrCreate(const std::string& path, const std::string& label);
    std::string checkFolderExists(const std::string& path, const std::string& label);
    std::string checkFileExists(const std::string& path, const std::string& label);
    std::string checkJvmLibrary(const std::string& path);
    std::vector<std::string> checkClassPath(const std::string& classPath);

    void propagateCatalinaHomeChange();
    void propagateCatalinaBaseChange();

    // Writes the report file; throws StepFailure when it cannot be written.
    bool writeDiagnosticReport(ReportMode mode);
    // Help > Check Configuration.
    void checkConfiguration();

    // --- service control
    void checkServiceStatus();
    // The check again between commands, while the window is up: a failure
    // that goes on is logged once, not at every call.
    void followServiceStatus();
    void startService();
    void stopService();
    void installService(bool showMessage);
    // False when the service could not be removed; the user has been told why.
    bool uninstallService(bool showMessage);

    // --- the two service buttons, which act on their captions
    void installOrUninstall();
    void startOrStop();

    // --- state
    const Configuration& configuration() const { return config_; }
    bool installedAsService() const { return installedAsService_; }
    bool serviceRunning() const { return serviceRunning_; }
    bool showPrompts() const { return showPrompts_; }
    const std::string& lastCatalinaHome() const { return lastCatalinaHome_; }
    const std::string& lastCatalinaBase() const { return lastCatalinaBase_; }
    std::string reportFilePath() const;
    Platform& platform() const { return platform_; }

private:
    // Shows the reason in a warning box; false when there is none.
    bool refuse(const std::string& reason);
    // Refuses a name that may not be saved, installed or uninstalled.
    bool refuseBrokenName();
    bool confirmReplacingStored();
    void removeLeftoverServiceKey();
    // Runs one step of service control; a failure becomes the four debug-log lines.
    void runStep(const std::string& stepName, const std::function<void()>& step);
    void logFailure(const Failure& failure, const std::string& stepName);
    void runServiceCommand(const std::string& verb, const std::string& noticeStart);
    void writeWrapperValues(const std::vector<WrapperValue>& values);

    Platform& platform_;
    WindowSurface& window_;
    Configuration config_;
    bool installedAsService_ = false;
    bool serviceRunning_ = false;
    bool showPrompts_ = false;
    // A new configuration: its Service Name box is still editable.
    bool newName_ = true;
    std::string lastCatalinaHome_;
    std::string lastCatalinaBase_;
};

}  // namespace velmora
