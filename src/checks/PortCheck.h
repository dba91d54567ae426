#pragma once
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "config/Configuration.h"
#include "platform/Platform.h"

namespace velmora {

// What the ports check found: problems, and notices that stop nothing.
struct PortReview {
    std::vector<Finding> findings;
    std::vector<std::string> notices;
};

// Another stored configuration, as far as the ports check needs it.
struct OtherConfiguration {
    std::string name;
    std::string tomcatConfigFile;
    std::string catalinaHome;  // whose release tells where its AJP connector listens
};

// The ports of the configuration's server.xml: one that another stored
// configuration's server.xml declares too (naming it), one another program
// on this machine already listens on (not looked at while the service itself
// runs, as its Tomcat holds them), a server.xml that does not parse, and an
// enabled shutdown port.
PortReview reviewPorts(const Configuration& c, const std::vector<OtherConfiguration>& others, bool serviceRunning,
                       Platform& platform);

}  // namespace velmora
