#pragma once
#include <optional>
#include <string>

#include "platform/Failure.h"

namespace velmora {

enum class Access { Read, Modify };

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
    // Whether the account logs on with the password as a service would: a
    // failure when Windows says it cannot (a wrong password, an expired,
    // disabled or locked account), nothing when it can or when that cannot be
    // told here (no domain controller answers).
    virtual MaybeFailure checkPassword(const std::string& account, const std::string& password) = 0;
    virtual MaybeFailure grantLogOnAsService(const std::string& account) = 0;
};

}  // namespace velmora
