#include "checks/CheckMessages.h"
#include "config/ConfigurationList.h"
#include "config/NameRule.h"
#include "config/DoConfig.h"
#include "config/Encodings.h"
#include "config/StoreLayout.h"
#include "config/StoreMessages.h"
#include "service/ServiceMessages.h"

namespace velmora {

bool DoConfig::refuseUnusableName() {
    const std::string reason = unusableNameReason(config_.serviceName);
    if (reason.empty()) return false;
    platform_.messageBoxes.show(reason, kMbOk | kMbIconExclamation, messages::kWarningTitle);
    return true;
}

std::vector<std::string> DoConfig::storedConfigurationNames() {
    const auto data = platform_.registry.queryStringValue(HKEY_LOCAL_MACHINE_ROOT, store::kStoreKey, store::kListValue);
    return decodeMultiString(data.value_or(""));
}

void DoConfig::loadConfiguration(const std::string& name) {
    // A name that is not a key of its own would read another key's values.
    if (const std::string reason = unusableNameReason(name); !reason.empty()) {
        platform_.messageBoxes.show(reason, kMbOk | kMbIconExclamation, messages::kWarningTitle);
        return;
    }
    showPrompts_ = false;
    newConfiguration();
    setServiceName(name);
    window_.lockServiceName();

    const std::string key = store::configurationKey(name);
    auto text = [&](const std::string& value) { return readMachineString(key, value); };
    auto dword = [&](const std::string& value) { return readMachineDword(key, value); };

    setCatalinaHome(text(store::kCatalinaHome));
    setCatalinaBase(text(store::kCatalinaBase));
    setSystemOut(text(store::kSystemOut));
    setSystemErr(text(store::kSystemErr));
    setTomcatConfigFile(text(store::kTomcatConfig));
    setDescription(text(store::kDescription));
    setUseSecurityManager(checkFromDword(dword(store::kSecurityManager)));
    if (config_.useSecurityManager == 1) setSecurityPolicyFile(text(store::kSecurityPolicy));

    const bool server = isServerJvm(text(store::kJvm));
    setJvmType(server);
    window_.selectJvmOption(server);

    setJavaHome(text(store::kJavaHome));
    setClassPath(text(store::kClassPath));
    setTempDirectory(text(store::kTempDirectory));

    const auto optionData = platform_.registry.queryStringValue(HKEY_LOCAL_MACHINE_ROOT, key, store::kAdditionalOptions);
    config_.additionalJvmOptions = splitAtNul(optionData.value_or(""));
    for (const auto& option : config_.additionalJvmOptions)
        if (!option.empty()) window_.addOption(option);

    if (auto size = sizeFromDword(dword(store::kInitialHeap)); !size.empty()) setInitialHeapSize(size);
    if (auto size = sizeFromDword(dword(store::kMaxHeap)); !size.empty()) setMaxHeapSize(size);
    setThreadStackSize(sizeFromDword(dword(store::kThreadStack)));
    setReduceOsSignals(checkFromDword(dword(store::kReduceOsSignals)));

    installedAsService_ = installedFromDword(dword(store::kInstalled));
    window_.setInstallCaption(installedAsService_ ? messages::kUninstallCaption : messages::kInstallCaption);
    showPrompts_ = true;
    checkServiceStatus();
}

void DoConfig::saveConfiguration(bool announce) {
    if (refuseUnusableName()) return;
    const bool installedAtStart = installedAsService_;
    bool restart = false;
    if (window_.statusText() == messages::kStatusRunning) {
        if (platform_.messageBoxes.show(messages::kSaveRestartQuestion, kMbYesNo, messages::kConfirmTitle) != kIdYes)
            return;
        restart = true;
    }

    deleteConfiguration(true);
    window_.focusServiceName();
    collectJvmOptions();
    window_.lockServiceName();

    const Configuration& c = config_;
    const std::string key = store::configurationKey(c.serviceName);
    platform_.registry.createKey(HKEY_LOCAL_MACHINE_ROOT, key);
    writeMachineString(key, store::kCatalinaHome, c.catalinaHome);
    writeMachineString(key, store::kSystemOut, c.systemOut);
    writeMachineString(key, store::kSystemErr, c.systemErr);
    writeMachineString(key, store::kTomcatConfig, c.tomcatConfigFile);
    writeMachineString(key, store::kCatalinaBase, c.catalinaBase);
    writeMachineDword(key, store::kSecurityManager, checkToDword(c.useSecurityManager));
    writeMachineString(key, store::kSecurityPolicy, c.securityPolicyFile);
    writeMachineString(key, store::kJvm, c.jvmType);
    writeMachineString(key, store::kJavaHome, c.javaHome);
    writeMachineString(key, store::kClassPath, c.classPath);
    writeMachineString(key, store::kTempDirectory, c.tempDirectory);
    writeMachineDword(key, store::kInitialHeap, sizeToDword(c.initialHeapSize));
    writeMachineDword(key, store::kMaxHeap, sizeToDword(c.maxHeapSize));
    writeMachineString(key, store::kDescription, c.description);
    writeMachineDword(key, store::kReduceOsSignals, checkToDword(c.reduceOsSignals));
    writeMachineDword(key, store::kThreadStack, sizeToDword(c.threadStackSize));

    platform_.registry.setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, store::kStoreKey, store::kListValue,
                                           encodeMultiString(listWithNameLast(storedConfigurationNames(), c.serviceName)));
    writeMachineDword(key, store::kInstalled, 0);
    platform_.registry.setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, key, store::kAdditionalOptions,
                                           encodeMultiString(c.additionalJvmOptions));

    if (installedAtStart) installService(false);
    if (restart) startService();
    if (announce)
        platform_.messageBoxes.show(messages::instanceSaved(c.serviceName), kMbOk | kMbIconInformation,
                                    messages::kInfoTitle);
}

void DoConfig::deleteConfiguration(bool quiet) {
    if (refuseUnusableName()) return;
    if (!quiet && installedAsService_ &&
        platform_.messageBoxes.show(messages::kDeleteInstalledQuestion, kMbYesNo, messages::kConfirmTitle) != kIdYes)
        return;

    uninstallService(false);
    platform_.registry.setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, store::kStoreKey, store::kListValue,
                                           encodeMultiString(listWithoutName(storedConfigurationNames(), config_.serviceName)));
    platform_.registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, store::configurationKey(config_.serviceName));

    if (!quiet) {
        platform_.messageBoxes.show(messages::instanceDeleted(config_.serviceName), kMbOk | kMbIconInformation,
                                    messages::kInfoTitle);
        newConfiguration();
    }
}

}  // namespace velmora
