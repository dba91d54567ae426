#include "service/ServiceChange.h"

#include <algorithm>

#include "service/ServiceSettings.h"

namespace velmora {

namespace {

// What the service manager keeps or reads when it is needed, not what the JVM
// took at its start: every service setting but the account the process runs
// as, and the stop timeout where the wrapper holds one (it reads it when the
// service starts).
bool takesEffectWithoutRestart(Field field, const WrapperKind& wrapper) {
    if (field == Field::StopTimeout) return !wrapper.takesStopTimeout();
    return isServiceSetting(field) && field != Field::ServiceAccount;
}

}  // namespace

ServiceChange serviceChangeFor(const Configuration& stored, const Configuration& wanted, bool servicePresent,
                               bool wrapperChanges, const WrapperKind& wrapper) {
    ServiceChange change;
    // What only Velmora reads is no change of the service.
    // A field the wrapper is given no differently (a policy file while the security manager is off, the config
    // file spelled otherwise) changes nothing the service holds: the store alone takes it.
    const bool wrapperTakesIt = wrapper.updating(stored, wanted) || !wrapper.changedValues(stored, wanted).empty();
    for (const StoredField* field : differingFields(stored, wanted))
        if (field->reachesService && (wrapperTakesIt || isServiceSetting(field->field))) change.fields.push_back(field);
    for (const StoredField* field : change.fields) {
        if (!takesEffectWithoutRestart(field->field, wrapper)) change.restartNeeded = true;
        if (field->field == Field::ServiceAccount) change.accountChanged = true;
    }
    if (!servicePresent || wrapperChanges)
        change.way = ServiceChange::Way::Reinstall;
    else if (!change.fields.empty())
        change.way = ServiceChange::Way::InPlace;
    return change;
}

ServiceChange saveChange(const Configuration& stored, const Configuration& held, const Configuration& wanted,
                         bool servicePresent, bool wrapperChanges, const WrapperKind& wrapper) {
    const ServiceChange own = serviceChangeFor(stored, wanted, servicePresent, wrapperChanges, wrapper);
    if (own.way == ServiceChange::Way::Nothing) return own;
    ServiceChange change = serviceChangeFor(held, wanted, servicePresent, wrapperChanges, wrapper);
    const auto drifted = differingFields(stored, held);
    for (const StoredField* field : change.fields)
        if (std::find(drifted.begin(), drifted.end(), field) != drifted.end()) change.givenBack.push_back(field);
    return change;
}

std::string serviceChangeText(const ServiceChange& change) {
    std::string text;
    switch (change.way) {
        case ServiceChange::Way::Nothing: return {};
        case ServiceChange::Way::Reinstall: text = "reinstall the service"; break;
        case ServiceChange::Way::InPlace:
            text =
                change.restartNeeded ? "change the service in place (takes a restart)" : "change the service in place";
            break;
    }
    return change.givenBack.empty()
               ? text
               : text + " and give back " + fieldNames(change.givenBack) + ", changed past Velmora";
}

}  // namespace velmora
