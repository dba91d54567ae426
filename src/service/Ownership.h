#pragma once
#include <string>

#include "config/Configuration.h"
#include "config/InstallRecord.h"
#include "platform/Platform.h"
#include "service/WrapperKind.h"

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
    NoService,          // no service of that name
    Ours,               // installed from this store, program line and mark as recorded
    OursBeforeRecords,  // installed by an earlier Velmora: the store says installed, the line is the one it wrote
    Foreign,            // anything else: never stopped, removed or overwritten
    Unknown,            // the service manager could not tell
};

// A service is Velmora's only when this store installed it: the store says
// installed and the service still runs exactly the recorded program line,
// compared as Windows compares paths, and carries the recorded mark.
Ownership ownershipOf(const ServiceFacts& facts, bool installed, const InstallRecord& record, const WrapperKind& kind,
                      const Configuration& c);
inline bool isOurs(Ownership o) { return o == Ownership::Ours || o == Ownership::OursBeforeRecords; }

// A new mark, different for every install.
std::string newInstallMark();

}  // namespace velmora
