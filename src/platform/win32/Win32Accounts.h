#pragma once
#include "platform/Accounts.h"

#include <windows.h>

#include <string>
#include <vector>

namespace velmora {

// The security identifier of a service's virtual account (NT SERVICE\<name>)
// as Windows derives it from the name: it holds before the service exists,
// when the name cannot be looked up yet. Empty when it cannot be made.
std::vector<BYTE> virtualAccountSid(const std::string& serviceName);

// Folder rights through the security API (access control lists, inherited
// entries) and the "Log on as a service" right through the local security
// authority; no shell, no icacls.
class Win32Accounts : public Accounts {
public:
    std::optional<bool> allows(const std::string& path, const std::string& account, Access access) override;
    MaybeFailure grant(const std::string& path, const std::string& account, Access access) override;
    bool mayLogOnAsService(const std::string& account) override;
    ServiceLogOn tryServiceLogOn(const std::string& account, const std::string& password) override;
    MaybeFailure grantLogOnAsService(const std::string& account) override;
};

}  // namespace velmora
