#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "platform/Files.h"
#include "platform/Processes.h"

namespace velmora {

// A problem a move to another Catalina home or JDK would meet, found before
// anything stops: the field to change (its store name) and what to do.
struct PreflightFinding {
    std::string field;
    std::string message;
};

// Checks the target configuration against the one the service runs now: the
// new home's layout and version (its release notes and its wrapper agreeing),
// a base that would keep the old Tomcat's classes (its lib\catalina.jar),
// the branch's Java baseline against the JDK, the wrapper's machine type
// against the JVM library's, and what the target JDK's bin\java.exe says of
// the configuration's JVM options (run hidden and bounded with -version); an
// archive a JVM option names that the old JDK made.
std::vector<PreflightFinding> preflight(const Configuration& target, const Configuration& current, Files& files,
                                        Processes& processes);

}  // namespace velmora
