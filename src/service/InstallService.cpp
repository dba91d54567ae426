#include "checks/PathRules.h"
#include "config/DoConfig.h"
#include "config/StoreLayout.h"
#include "config/StoreMessages.h"
#include "service/ServiceCommands.h"
#include "service/ServiceMessages.h"
#include "service/WrapperParameters.h"

namespace velmora {

void DoConfig::installService(bool showMessage) {
    if (refuseUnusableName()) return;
    std::string installStep;
    showPrompts_ = true;

    bool problems = false;
    runStep(installStep, [&] { problems = writeDiagnosticReport(ReportMode::OnProblems); });
    if (problems &&
        platform_.messageBoxes.show(messages::reportQuestion(reportFilePath()), kMbOkCancel,
                                    messages::kConfirmTitle) == kIdCancel)
        return;

    bool suppressMessage = false;
    bool restart = false;
    if (serviceRunning_) {
        suppressMessage = restart = true;
        if (platform_.messageBoxes.show(messages::runningServiceQuestion(config_.serviceName), kMbYesNo,
                                        messages::kConfirmTitle) == kIdYes) {
            installStep = "stop and uninstall";
            runStep(installStep, [&] {
                stopService();
                uninstallService(false);
            });
        }
    }

    const std::string params = parametersKey(config_.serviceName);
    if (installedAsService_) {
        writeMachineString(params, "JVM Library", jvmLibraryPath(config_.javaHome, config_.jvmType));
    } else {
        runStep(installStep, [&] {
            const std::string copy = wrapperCopyPath(config_);
            if (!platform_.files.fileExists(copy))
                if (auto failure = platform_.files.copyFile(wrapperSourcePath(config_), copy))
                    throw StepFailure(*failure);
        });
        installStep = "install :" + registeringCommand(config_);
        platform_.processes.runHiddenAndWait(registeringCommand(config_));
    }

    for (const auto& value : serviceWrapperParameters(config_)) {
        if (const auto* text = std::get_if<std::string>(&value.data))
            writeMachineString(value.key, value.name, *text);
        else
            writeMachineDword(value.key, value.name, std::get<std::int32_t>(value.data));
    }
    writeMachineDword(store::configurationKey(config_.serviceName), store::kInstalled, 1);
    window_.setInstallCaption(messages::kUninstallCaption);

    if (showMessage && !suppressMessage && !installedAsService_)
        platform_.messageBoxes.show(messages::serviceInstalled(config_.serviceName), kMbOk | kMbIconInformation,
                                    messages::kInfoTitle);
    installedAsService_ = true;

    installStep = "start and setStat";
    runStep(installStep, [&] {
        if (restart) startService();
        checkServiceStatus();
    });
    showPrompts_ = true;
}

}  // namespace velmora
