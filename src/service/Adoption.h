#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigurationStore.h"
#include "platform/Platform.h"
#include "service/ServiceStatus.h"

namespace velmora {

// A service on this machine that runs a Tomcat service wrapper of a Catalina
// home and is not Velmora's: what the list of services to take over shows.
struct AdoptableService {
    std::string name;  // as the service manager spells it
    std::string displayName;
    std::string programLine;
    std::string catalinaHome;
    std::string tomcatVersion;  // empty when the home declares none
    std::string road;           // the wrapper's kind
    ServiceStatus status = ServiceStatus::Unknown;
    std::string reason;   // why it is not Velmora's
    bool stored = false;  // a configuration of its name is stored, which taking it over replaces
};

// Whether one service can be taken over, and why not when it cannot.
struct AdoptionCheck {
    std::optional<AdoptableService> service;
    std::string refusal;
};

// Only a service whose program line is exactly the one Velmora would give a
// configuration of its name in that Catalina home (and whose wrapper copy is
// byte for byte the home's bin\tomcat.exe) is a Tomcat service; one that is
// Velmora's already, or whose name a configuration cannot have, is none to take over.
AdoptionCheck checkAdoptable(Platform& platform, ConfigurationStore& store, const std::string& name);
// Every such service, in the service manager's order; the failure when it could not list them.
struct AdoptableServices {
    std::vector<AdoptableService> services;
    std::optional<Failure> failure;
};
AdoptableServices adoptableServices(Platform& platform, ConfigurationStore& store);

}  // namespace velmora
