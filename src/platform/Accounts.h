#pragma once
#include <optional>
#include <string>

#include "platform/Failure.h"

namespace velmora {

enum class Access { Read, Modify };

// How a service log-on went: refused when Windows does not take the password
// or the account (wrong, expired, disabled, locked); with the password taken,
// whether the account may log on as a service, through a group of its own or
// not. Neither when that could not be told (no domain controller answers).
struct ServiceLogOn {
    std::optional<Failure> refused;
    std::optional<bool> rightHeld;
};

// Accounts and what they may do: read or change a folder by its access
// control list, and log on as a service. Accounts are named as the service
// manager names them.
class Accounts {
public:
    virtual ~Accounts() = default;
    // Whether the account may read or modify the folder or file; nothing when
    // that cannot be told (no such account, no such folder).
    virtual std::optional<bool> allows(const std::string& path, const std::string& account, Access access) = 0;
    // Gives the account the right, inherited by everything below the folder.
    virtual MaybeFailure grant(const std::string& path, const std::string& account, Access access) = 0;
    virtual bool mayLogOnAsService(const std::string& account) = 0;
    // Logs the account on with the password as the service manager will at a
    // start, and says how that went.
    virtual ServiceLogOn tryServiceLogOn(const std::string& account, const std::string& password) = 0;
    virtual MaybeFailure grantLogOnAsService(const std::string& account) = 0;
};

}  // namespace velmora
