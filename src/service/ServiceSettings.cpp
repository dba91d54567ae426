#include "service/ServiceSettings.h"

#include "config/ConfigurationFields.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

namespace velmora {

bool isServiceSetting(Field field) {
    switch (field) {
        case Field::StartupType:
        case Field::ServiceAccount:
        case Field::Dependencies:
        case Field::StopTimeout:
        case Field::RecoveryFirst:
        case Field::RecoverySecond:
        case Field::RecoveryLater:
        case Field::RecoveryReset:
        case Field::RecoveryOnErrorExit:
        case Field::DisplayName:
        case Field::Description: return true;
        default: return false;
    }
}

namespace {

FailureAction actionAfter(std::uint32_t seconds) {
    return seconds == 0 ? FailureAction{} : FailureAction{true, seconds * 1000};
}

// No action after a failure, said as nothing or as "none" for each failure.
std::vector<FailureAction> withoutTrailingNone(std::vector<FailureAction> actions) {
    while (!actions.empty() && actions.back() == FailureAction{}) actions.pop_back();
    return actions;
}

}  // namespace

std::string shownDisplayName(const Configuration& c) { return c.displayName.empty() ? c.serviceName : c.displayName; }

ServiceConfiguration wantedServiceConfiguration(const Configuration& c) {
    ServiceConfiguration wanted;
    switch (c.startupType) {
        case StartupType::Automatic:
        case StartupType::Delayed: wanted.startType = StartType::Automatic; break;
        case StartupType::Manual: wanted.startType = StartType::Manual; break;
        case StartupType::Disabled: wanted.startType = StartType::Disabled; break;
    }
    wanted.delayedStart = c.startupType == StartupType::Delayed;
    wanted.account = serviceAccountName(c);
    wanted.displayName = shownDisplayName(c);
    wanted.description = c.description;
    wanted.dependencies = c.dependencies;
    wanted.failureActions = {actionAfter(c.recoveryFirst), actionAfter(c.recoverySecond), actionAfter(c.recoveryLater)};
    wanted.resetPeriodSeconds = c.recoveryReset;
    wanted.failureActionsOnNonCrash = c.recoveryOnErrorExit;
    return wanted;
}

std::vector<ServiceSetting> differingSettings(const ServiceConfiguration& wanted, const ServiceConfiguration& found) {
    std::vector<ServiceSetting> differing;
    if (wanted.startType != found.startType) differing.push_back(ServiceSetting::StartType);
    if (wanted.delayedStart != found.delayedStart) differing.push_back(ServiceSetting::DelayedStart);
    if (!sameName(wanted.account, found.account)) differing.push_back(ServiceSetting::Account);
    bool sameDependencies = wanted.dependencies.size() == found.dependencies.size();
    for (std::size_t i = 0; sameDependencies && i < wanted.dependencies.size(); ++i)
        sameDependencies = sameName(wanted.dependencies[i], found.dependencies[i]);
    if (!sameDependencies) differing.push_back(ServiceSetting::Dependencies);
    if (withoutTrailingNone(wanted.failureActions) != withoutTrailingNone(found.failureActions) ||
        wanted.resetPeriodSeconds != found.resetPeriodSeconds)
        differing.push_back(ServiceSetting::FailureActions);
    if (wanted.failureActionsOnNonCrash != found.failureActionsOnNonCrash)
        differing.push_back(ServiceSetting::FailureActionsOnNonCrash);
    if (wanted.displayName != found.displayName) differing.push_back(ServiceSetting::DisplayName);
    if (wanted.description != found.description) differing.push_back(ServiceSetting::Description);
    return differing;
}

const std::vector<ServiceSetting>& allServiceSettings() {
    static const std::vector<ServiceSetting> settings = {
        ServiceSetting::StartType,    ServiceSetting::DelayedStart,   ServiceSetting::Account,
        ServiceSetting::Dependencies, ServiceSetting::FailureActions, ServiceSetting::FailureActionsOnNonCrash,
        ServiceSetting::DisplayName,  ServiceSetting::Description};
    return settings;
}

const char* settingName(ServiceSetting setting) {
    switch (setting) {
        case ServiceSetting::StartType: return "start-up type";
        case ServiceSetting::DelayedStart: return "delayed start";
        case ServiceSetting::Account: return "account";
        case ServiceSetting::Dependencies: return "dependencies";
        case ServiceSetting::FailureActions: return "recovery after failures";
        case ServiceSetting::FailureActionsOnNonCrash: return "recovery after a stop with an error";
        case ServiceSetting::DisplayName: return "display name";
        case ServiceSetting::Description: return "description";
    }
    return "setting";
}

}  // namespace velmora
