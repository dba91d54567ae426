#pragma once
#include <string>
#include <vector>

#include "config/ConfigurationFields.h"
#include "service/WrapperKind.h"

namespace velmora {

// What bringing an installed service to a changed configuration takes, the
// least there is: nothing, a change where it stands, or a reinstall, which
// only another wrapper needs (another Catalina home or wrapper kind) or a
// service that is gone.
struct ServiceChange {
    enum class Way { Nothing, InPlace, Reinstall };
    Way way = Way::Nothing;
    std::vector<const StoredField*> fields;  // the stored values that differ, in save order
    // A value the running JVM or its wrapper took when it started: it takes effect with a restart.
    bool restartNeeded = false;
    // A named account's password is asked only when the account changes.
    bool accountChanged = false;
    // Of the fields, those the service held otherwise than stored: changed past Velmora, set back with the change.
    std::vector<const StoredField*> givenBack;
};

// The wrapper is the one the service runs with.
ServiceChange serviceChangeFor(const Configuration& stored, const Configuration& wanted, bool servicePresent,
                               bool wrapperChanges, const WrapperKind& wrapper);

// What a save does to an installed service that holds the values held: nothing when the save changes none
// that reach the service; otherwise the change from what it holds, so that a value changed past Velmora is
// set back with it.
ServiceChange saveChange(const Configuration& stored, const Configuration& held, const Configuration& wanted,
                         bool servicePresent, bool wrapperChanges, const WrapperKind& wrapper);

// What the command line and apply say of it: "change the service in place, restart" and the like.
std::string serviceChangeText(const ServiceChange& change);

}  // namespace velmora
