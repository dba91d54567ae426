#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/ConfigurationFields.h"
#include "config/ServiceAccount.h"
#include "platform/Services.h"

namespace velmora {

// A field the service manager keeps for the service (start-up type, account,
// dependencies, recovery, display name, description) or the stop timeout.
bool isServiceSetting(Field field);

// How the configuration wants its service to run, as the service manager
// says it: start type, delayed start, account, dependencies, failure actions.
ServiceConfiguration wantedServiceConfiguration(const Configuration& c);
// The name the Services console shows: the service's own when none is given.
std::string shownDisplayName(const Configuration& c);

// The parts of the found configuration that differ from the wanted one.
std::vector<ServiceSetting> differingSettings(const ServiceConfiguration& wanted, const ServiceConfiguration& found);
const char* settingName(ServiceSetting setting);
const std::vector<ServiceSetting>& allServiceSettings();

}  // namespace velmora
