#include "service/ServiceChange.h"

#include "service/ServiceSettings.h"

namespace velmora {

namespace {

// What the service manager keeps or reads when it is needed, not what the JVM
// took at its start: every service setting but the account the process runs as.
bool takesEffectWithoutRestart(Field field) { return isServiceSetting(field) && field != Field::ServiceAccount; }

}  // namespace

ServiceChange serviceChangeFor(const Configuration& stored, const Configuration& wanted, bool servicePresent,
                               bool wrapperChanges) {
    ServiceChange change;
    for (const StoredField* field : differingFields(stored, wanted))
        if (reachesTheService(field->field)) change.fields.push_back(field);
    for (const StoredField* field : change.fields) {
        if (!takesEffectWithoutRestart(field->field)) change.restartNeeded = true;
        if (field->field == Field::ServiceAccount) change.accountChanged = true;
    }
    if (!servicePresent || wrapperChanges)
        change.way = ServiceChange::Way::Reinstall;
    else if (!change.fields.empty())
        change.way = ServiceChange::Way::InPlace;
    return change;
}

std::string serviceChangeText(const ServiceChange& change) {
    switch (change.way) {
        case ServiceChange::Way::Nothing: return {};
        case ServiceChange::Way::Reinstall: return "reinstall the service";
        case ServiceChange::Way::InPlace: break;
    }
    return change.restartNeeded ? "change the service in place (takes a restart)" : "change the service in place";
}

}  // namespace velmora
