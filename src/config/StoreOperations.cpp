#include "checks/CheckMessages.h"
#include "config/ConfigurationList.h"
#include "config/NameRule.h"
#include "config/DoConfig.h"
#include "config/Encodings.h"
#include "config/StoreLayout.h"
#include "config/StoreMessages.h"
#include "service/Ownership.h"
#include "service/ServiceMessages.h"
#include "service/WrapperKind.h"

namespace velmora {

bool DoConfig::refuse(const std::string& reason) {
    if (reason.empty()) return false;
    platform_.messageBoxes.show(reason, kMbOk | kMbIconExclamation, messages::kWarningTitle);
    return true;
}

bool DoConfig::refuseBrokenName() { return refuse(nameRuleViolation(config_.serviceName, config_.catalinaHome)); }

// Names that differ only in case share one key: a new configuration asks
// before it takes the place of a stored one.
bool DoConfig::confirmReplacingStored() {
    if (!newName_) return true;
    const auto names = storedConfigurationNames();
    const bool stored = listHoldsName(names, config_.serviceName) ||
                        platform_.registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, store::configurationKey(config_.serviceName));
    if (!stored) return true;
    std::string spelling = config_.serviceName;
    for (const auto& name : names)
        if (sameConfigurationName(name, spelling)) spelling = name;
    return platform_.messageBoxes.show(messages::replaceStoredQuestion(spelling), kMbYesNo, messages::kConfirmTitle) ==
           kIdYes;
}

std::vector<std::string> DoConfig::storedConfigurationNames() {
    const auto data = platform_.registry.queryStringValue(HKEY_LOCAL_MACHINE_ROOT, store::kStoreKey, store::kListValue);
    return decodeMultiString(data.value_or(""));
}

void DoConfig::loadConfiguration(const std::string& name) {
    // A name that is not a key of its own would read another key's values.
    if (refuse(unusableNameReason(name))) return;
    if (listHoldsName(storedConfigurationNames(), name) &&
        !platform_.registry.keyContents(HKEY_LOCAL_MACHINE_ROOT, store::configurationKey(name)))
        refuse(messages::listedButMissing(name));
    showPrompts_ = false;
    newConfiguration();
    setServiceName(name);
    window_.lockServiceName();
    newName_ = false;

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
        if (!option.empty()) window_.addToList1(option);

    if (auto size = sizeFromDword(dword(store::kInitialHeap)); !size.empty()) setInitialHeapSize(size);
    if (auto size = sizeFromDword(dword(store::kMaxHeap)); !size.empty()) setMaxHeapSize(size);
    setThreadStackSize(sizeFromDword(dword(store::kThreadStack)));
    setReduceOsSignals(checkFromDword(dword(store::kReduceOsSignals)));

    installedAsService_ = installedFromDword(dword(store::kInstalled));
    window_.setInstallCaption(installedAsService_ ? messages::kUninstallCaption : messages::kInstallCaption);
    showPrompts_ = true;
    checkServiceStatus();
}

bool DoConfig::saveConfiguration(bool announce) {
    if (refuseBrokenName()) return false;
    if (const auto kind = wrapperKindFor(config_.catalinaHome, platform_.files);
        refuse(Ownership(platform_, *kind, config_).serviceRefusal()))
        return false;
    if (!confirmReplacingStored()) return false;
    const bool installedAtStart = installedAsService_;
    bool restart = false;
    if (window_.statusText() == messages::kStatusRunning) {
        if (platform_.messageBoxes.show(messages::kSaveRestartQuestion, kMbYesNo, messages::kConfirmTitle) != kIdYes)
            return false;
        restart = true;
    }

    if (!deleteConfiguration(true)) return false;
    window_.focusServiceName();
    collectJvmOptions();
    window_.lockServiceName();
    newName_ = false;

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
    return true;
}

bool DoConfig::deleteConfiguration(bool quiet) {
    if (refuse(unusableNameReason(config_.serviceName))) return false;
    // A name stored before the name rule can still go, but only from the store.
    const bool storeOnly = !nameRuleViolation(config_.serviceName, config_.catalinaHome).empty();
    if (const auto kind = wrapperKindFor(config_.catalinaHome, platform_.files);
        !storeOnly && refuse(Ownership(platform_, *kind, config_).serviceRefusal()))
        return false;
    if (!quiet && installedAsService_ &&
        platform_.messageBoxes.show(messages::kDeleteInstalledQuestion, kMbYesNo, messages::kConfirmTitle) != kIdYes)
        return false;

    if (!storeOnly && !uninstallService(false)) return false;
    platform_.registry.setMultiStringValue(HKEY_LOCAL_MACHINE_ROOT, store::kStoreKey, store::kListValue,
                                           encodeMultiString(listWithoutName(storedConfigurationNames(), config_.serviceName)));
    platform_.registry.deleteKey(HKEY_LOCAL_MACHINE_ROOT, store::configurationKey(config_.serviceName));

    if (!quiet) {
        platform_.messageBoxes.show(messages::instanceDeleted(config_.serviceName), kMbOk | kMbIconInformation,
                                    messages::kInfoTitle);
        newConfiguration();
    }
    return true;
}

}  // namespace velmora
