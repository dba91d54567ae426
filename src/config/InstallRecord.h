#pragma once
#include <string>

namespace velmora {

// What Velmora installed for a configuration. Only a service that still runs
// exactly this program line and carries this mark is Velmora's to stop,
// remove or overwrite; a wrapper copy is deleted only while its digest is
// the one recorded.
struct InstallRecord {
    std::string programLine;
    std::string mark;
    std::string programDigest;     // empty: Velmora made no copy
    bool settingsApplied = false;  // the service manager took every setting of how the service runs
    bool adopted = false;          // made elsewhere and taken over on purpose, not installed by Velmora
    // False when a stored record value was not a plain text: such a record
    // proves nothing and counts as none.
    bool readable = true;

    bool empty() const { return programLine.empty() && mark.empty(); }
    bool operator==(const InstallRecord&) const = default;
};

}  // namespace velmora
