#include "config/DoConfig.h"
#include "config/StoreLayout.h"
#include "config/StoreMessages.h"
#include "service/Ownership.h"
#include "service/ServiceMessages.h"
#include "service/WrapperKind.h"

namespace velmora {

void DoConfig::installService(bool showMessage) {
    if (refuseBrokenName()) return;
    const auto kind = wrapperKindFor(config_.catalinaHome, platform_.files);
    if (Ownership owner(platform_, *kind, config_); refuse(owner.serviceRefusal()) || refuse(owner.copyRefusal()))
        return;

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

    // A service removed behind our back is registered afresh.
    const bool update = installedAsService_ && Ownership(platform_, *kind, config_).serviceExists();
    int exitCode = 0;
    bool copied = false;
    const auto copy = kind->copy(config_);
    if (update) {
        writeWrapperValues(kind->updateParameters(config_));
        if (const auto run = kind->updating(config_))
            exitCode = platform_.processes.runHiddenAndWait(run->program, run->commandLine);
    } else {
        runStep(installStep, [&] {
            if (copy && !platform_.files.fileExists(copy->target)) {
                if (auto failure = platform_.files.copyFile(copy->source, copy->target)) throw StepFailure(*failure);
                copied = true;
            }
        });
        const ProgramRun run = kind->registering(config_);
        installStep = "install :" + run.commandLine;
        exitCode = platform_.processes.runHiddenAndWait(run.program, run.commandLine);
    }

    // Only a service the system really knows gets its values and the installed mark.
    if (!Ownership(platform_, *kind, config_).serviceExists()) {
        if (copied) (void)platform_.files.deleteFileForced(copy->target);
        writeMachineDword(store::configurationKey(config_.serviceName), store::kInstalled, 0);
        installedAsService_ = false;
        window_.setInstallCaption(messages::kInstallCaption);
        checkServiceStatus();
        refuse(messages::serviceNotRegistered(config_.serviceName, exitCode));
        return;
    }

    writeWrapperValues(kind->parameters(config_));
    writeMachineDword(store::configurationKey(config_.serviceName), store::kInstalled, 1);
    window_.setInstallCaption(messages::kUninstallCaption);

    if (showMessage && !suppressMessage && !update)
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

void DoConfig::writeWrapperValues(const std::vector<WrapperValue>& values) {
    for (const auto& value : values) {
        if (const auto* text = std::get_if<std::string>(&value.data))
            writeMachineString(value.key, value.name, *text);
        else
            writeMachineDword(value.key, value.name, std::get<std::int32_t>(value.data));
    }
}

}  // namespace velmora
