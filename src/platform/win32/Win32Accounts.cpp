#include "platform/win32/Win32Accounts.h"

#include <windows.h>

#include <aclapi.h>
#include <ntsecapi.h>
#include <wincrypt.h>

#include <vector>

#include "platform/Text.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

constexpr DWORD kReadRights = FILE_GENERIC_READ | FILE_GENERIC_EXECUTE;
constexpr DWORD kModifyRights = FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE;

DWORD rightsOf(Access access) { return access == Access::Modify ? kModifyRights : kReadRights; }

std::vector<BYTE> sha1Of(const void* bytes, DWORD size) {
    std::vector<BYTE> digest;
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextW(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) return digest;
    HCRYPTHASH hash = 0;
    if (CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash)) {
        DWORD length = 20;
        digest.resize(length);
        if (!CryptHashData(hash, static_cast<const BYTE*>(bytes), size, 0) ||
            !CryptGetHashParam(hash, HP_HASHVAL, digest.data(), &length, 0) || length != 20)
            digest.clear();
        CryptDestroyHash(hash);
    }
    CryptReleaseContext(provider, 0);
    return digest;
}

constexpr char kVirtualDomain[] = "NT SERVICE\\";

// The account's security identifier; empty when the name is unknown.
std::vector<BYTE> sidOf(const std::string& account) {
    std::wstring name = wide(account);
    // The service manager and LogonUser take ".\name" for an account of this machine; the name lookup knows
    // no "." and wants the machine's own name.
    wchar_t machine[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD machineSize = MAX_COMPUTERNAME_LENGTH + 1;
    if (name.rfind(L".\\", 0) == 0 && GetComputerNameW(machine, &machineSize)) name.replace(0, 1, machine);
    DWORD sidSize = 0, domainSize = 0;
    SID_NAME_USE use{};
    LookupAccountNameW(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    // A virtual account is known by name only once its service is registered; its rights are asked for and
    // given before that.
    const std::size_t prefix = sizeof kVirtualDomain - 1;
    if (sidSize == 0 && account.size() > prefix && sameName(account.substr(0, prefix), kVirtualDomain))
        return virtualAccountSid(account.substr(prefix));
    if (sidSize == 0) return {};
    std::vector<BYTE> sid(sidSize);
    std::wstring domain(domainSize, L'\0');
    if (!LookupAccountNameW(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize, &use)) return {};
    return sid;
}

// A security descriptor the system allocated, freed with LocalFree.
struct LocalMemory {
    void* memory = nullptr;
    ~LocalMemory() {
        if (memory) LocalFree(memory);
    }
};

struct Policy {
    LSA_HANDLE handle = nullptr;
    explicit Policy(ACCESS_MASK access) {
        LSA_OBJECT_ATTRIBUTES attributes{};
        if (LsaOpenPolicy(nullptr, &attributes, access, &handle) != 0) handle = nullptr;
    }
    ~Policy() {
        if (handle) LsaClose(handle);
    }
};

LSA_UNICODE_STRING lsaText(std::wstring& text) {
    return {static_cast<USHORT>(text.size() * sizeof(wchar_t)), static_cast<USHORT>(text.size() * sizeof(wchar_t)),
            text.data()};
}

// A service's process runs with the account and the groups every service
// log-on carries, whether or not the account is listed as their member:
// Everyone, Authenticated Users, SERVICE, Users (which holds Authenticated
// Users), LOCAL and This Organization; LocalSystem with the administrators.
// Rights given to any of them reach the service.
std::vector<std::vector<BYTE>> serviceLogOnSids(const std::vector<BYTE>& account) {
    std::vector<std::vector<BYTE>> sids = {account};
    std::vector<WELL_KNOWN_SID_TYPE> groups = {WinWorldSid, WinAuthenticatedUserSid, WinServiceSid, WinBuiltinUsersSid,
                                               WinLocalSid, WinThisOrganizationSid};
    if (IsWellKnownSid(const_cast<BYTE*>(account.data()), WinLocalSystemSid))
        groups.push_back(WinBuiltinAdministratorsSid);
    for (const WELL_KNOWN_SID_TYPE group : groups) {
        DWORD size = SECURITY_MAX_SID_SIZE;
        std::vector<BYTE> sid(size);
        if (CreateWellKnownSid(group, nullptr, sid.data(), &size)) sids.push_back(std::move(sid));
    }
    return sids;
}

// The access list read in order, as Windows checks access: each right is
// decided by the first entry for one of the identifiers that names it.
ACCESS_MASK rightsGranted(PACL dacl, const std::vector<std::vector<BYTE>>& sids) {
    GENERIC_MAPPING fileRights = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    ACCESS_MASK granted = 0, denied = 0;
    ACL_SIZE_INFORMATION size{};
    if (!GetAclInformation(dacl, &size, sizeof size, AclSizeInformation)) return 0;
    for (DWORD i = 0; i < size.AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) continue;
        const auto* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
        if (!allows && header->AceType != ACCESS_DENIED_ACE_TYPE) continue;
        // Allowed and denied entries share their layout: header, mask, identifier.
        auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        PSID named = &ace->SidStart;
        bool ours = false;
        for (const auto& sid : sids) ours = ours || EqualSid(named, const_cast<BYTE*>(sid.data()));
        if (!ours) continue;
        ACCESS_MASK mask = ace->Mask;
        MapGenericMask(&mask, &fileRights);
        if (allows)
            granted |= mask & ~denied;
        else
            denied |= mask & ~granted;
    }
    return granted;
}

}  // namespace

// S-1-5-80 and the SHA-1 of the name in capitals, as UTF-16, taken as five little-endian numbers.
std::vector<BYTE> virtualAccountSid(const std::string& serviceName) {
    std::wstring upper = wide(serviceName);
    if (upper.empty()) return {};
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    const std::vector<BYTE> digest = sha1Of(upper.data(), static_cast<DWORD>(upper.size() * sizeof(wchar_t)));
    if (digest.size() != 20) return {};
    std::vector<BYTE> sid(GetSidLengthRequired(6));
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!InitializeSid(sid.data(), &nt, 6)) return {};
    *GetSidSubAuthority(sid.data(), 0) = SECURITY_SERVICE_ID_BASE_RID;
    for (DWORD i = 0; i < 5; ++i)
        *GetSidSubAuthority(sid.data(), i + 1) = DWORD{digest[4 * i]} | DWORD{digest[4 * i + 1]} << 8 |
                                                 DWORD{digest[4 * i + 2]} << 16 | DWORD{digest[4 * i + 3]} << 24;
    return sid;
}

std::optional<bool> Win32Accounts::allows(const std::string& path, const std::string& account, Access access) {
    std::vector<BYTE> sid = sidOf(account);
    if (sid.empty()) return std::nullopt;
    PACL dacl = nullptr;
    LocalMemory descriptor;
    std::wstring file = wide(path);
    if (GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor.memory) != ERROR_SUCCESS)
        return std::nullopt;
    if (!dacl) return true;  // no list at all lets everyone in
    // What the system says of the account and the groups it is listed in, and what the groups every service
    // log-on carries add, which it leaves out.
    TRUSTEE_W trustee{};
    BuildTrusteeWithSidW(&trustee, sid.data());
    ACCESS_MASK granted = 0;
    if (GetEffectiveRightsFromAclW(dacl, &trustee, &granted) != ERROR_SUCCESS) return std::nullopt;
    granted |= rightsGranted(dacl, serviceLogOnSids(sid));
    const DWORD needed = rightsOf(access) & ~SYNCHRONIZE;
    return (granted & needed) == needed;
}

MaybeFailure Win32Accounts::grant(const std::string& path, const std::string& account, Access access) {
    std::vector<BYTE> sid = sidOf(account);
    if (sid.empty()) return systemFailure("LookupAccountNameW", ERROR_NONE_MAPPED);
    PACL dacl = nullptr;
    LocalMemory descriptor;
    std::wstring file = wide(path);
    if (DWORD error = GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            &dacl, nullptr, &descriptor.memory);
        error != ERROR_SUCCESS)
        return systemFailure("GetNamedSecurityInfoW", error);
    EXPLICIT_ACCESS_W entry{};
    entry.grfAccessPermissions = rightsOf(access);
    entry.grfAccessMode = GRANT_ACCESS;
    entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
    BuildTrusteeWithSidW(&entry.Trustee, sid.data());
    PACL updated = nullptr;
    if (DWORD error = SetEntriesInAclW(1, &entry, dacl, &updated); error != ERROR_SUCCESS)
        return systemFailure("SetEntriesInAclW", error);
    LocalMemory updatedList{updated};
    if (DWORD error = SetNamedSecurityInfoW(file.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            updated, nullptr);
        error != ERROR_SUCCESS)
        return systemFailure("SetNamedSecurityInfoW", error);
    return std::nullopt;
}

// What cannot be told is taken as allowed: the service manager's own
// refusal then says what is wrong.
bool Win32Accounts::mayLogOnAsService(const std::string& account) {
    std::vector<BYTE> sid = sidOf(account);
    Policy policy(POLICY_LOOKUP_NAMES);
    if (sid.empty() || !policy.handle) return true;
    PLSA_UNICODE_STRING rights = nullptr;
    ULONG count = 0;
    const NTSTATUS status = LsaEnumerateAccountRights(policy.handle, sid.data(), &rights, &count);
    if (status != 0) return LsaNtStatusToWinError(status) != ERROR_FILE_NOT_FOUND;
    bool found = false;
    for (ULONG i = 0; i < count; ++i)
        found = found || std::wstring(rights[i].Buffer, rights[i].Length / sizeof(wchar_t)) == L"SeServiceLogonRight";
    LsaFreeMemory(rights);
    return found;
}

MaybeFailure Win32Accounts::grantLogOnAsService(const std::string& account) {
    std::vector<BYTE> sid = sidOf(account);
    if (sid.empty()) return systemFailure("LookupAccountNameW", ERROR_NONE_MAPPED);
    Policy policy(POLICY_CREATE_ACCOUNT | POLICY_LOOKUP_NAMES);
    if (!policy.handle) return systemFailure("LsaOpenPolicy", ERROR_ACCESS_DENIED);
    std::wstring right = L"SeServiceLogonRight";
    LSA_UNICODE_STRING rights = lsaText(right);
    if (const NTSTATUS status = LsaAddAccountRights(policy.handle, sid.data(), &rights, 1); status != 0)
        return systemFailure("LsaAddAccountRights", LsaNtStatusToWinError(status));
    return std::nullopt;
}

// Windows checks the password before the log-on type: an account that lacks
// the right to log on as a service, or is denied it, has given the right
// password.
ServiceLogOn Win32Accounts::tryServiceLogOn(const std::string& account, const std::string& password) {
    const auto slash = account.find('\\');
    const std::wstring domain = wide(slash == std::string::npos ? std::string(".") : account.substr(0, slash));
    const std::wstring user = wide(slash == std::string::npos ? account : account.substr(slash + 1));
    std::wstring secret = wide(password);
    HANDLE token = nullptr;
    const BOOL loggedOn = LogonUserW(user.c_str(), domain.c_str(), secret.c_str(), LOGON32_LOGON_SERVICE,
                                     LOGON32_PROVIDER_DEFAULT, &token);
    const DWORD error = loggedOn ? ERROR_SUCCESS : GetLastError();
    SecureZeroMemory(secret.data(), secret.size() * sizeof(wchar_t));
    if (token) CloseHandle(token);
    switch (error) {
        case ERROR_SUCCESS: return {std::nullopt, true};
        case ERROR_LOGON_TYPE_NOT_GRANTED: return {std::nullopt, false};
        case ERROR_LOGON_FAILURE:
        case ERROR_ACCOUNT_RESTRICTION:
        case ERROR_PASSWORD_EXPIRED:
        case ERROR_ACCOUNT_DISABLED:
        case ERROR_ACCOUNT_EXPIRED:
        case ERROR_PASSWORD_MUST_CHANGE:
        case ERROR_ACCOUNT_LOCKED_OUT: return {systemFailure("LogonUserW", error), std::nullopt};
        default: return {};
    }
}

}  // namespace velmora
