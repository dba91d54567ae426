#pragma once
#include <string>

#include "config/Configuration.h"
#include "config/InstallRecord.h"
#include "platform/Platform.h"

namespace velmora {

// What the system says of a service name: whether there is such a service,
// its program line, and the install mark in its key.
struct ServiceFacts {
    enum class Presence { Absent, Present, Unknown };
    Presence presence = Presence::Absent;
    std::string programLine;
    std::string mark;
    Failure failure;  // Unknown: why the service manager could not tell

    bool present() const { return presence == Presence::Present; }
};
ServiceFacts lookUpService(Services& services, Registry& registry, const std::string& name);

enum class Ownership {
    NoService,   // no service of that name
    Ours,        // installed from this store, program line and mark as recorded
    Unrecorded,  // the store says installed but keeps no usable record (an older store, a restored backup): not ours
    Foreign,     // anything else: never stopped, removed or overwritten
    Unknown,     // the service manager could not tell
};

// A service is Velmora's only when this store installed it: the store says
// installed and the service still runs exactly the recorded program line,
// compared as Windows compares paths, and carries the recorded mark. Nothing
// else is ever taken for Velmora's, however much it looks like what Velmora
// would have made: Tomcat's own scripts write the same program lines.
Ownership ownershipOf(const ServiceFacts& facts, bool installed, const InstallRecord& record);
inline bool isOurs(Ownership o) { return o == Ownership::Ours; }

// A new mark, different for every install.
std::string newInstallMark();

}  // namespace velmora
