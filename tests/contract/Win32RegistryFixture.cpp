#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "RegistryFixture.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

namespace velmora {
namespace {

RegistryKey createdKey(const std::string& key) {
    RegistryKey created;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        created.receive(), nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + key);
    return created;
}

// Sets the key's access list from SDDL; as its owner we may always change it back.
bool setAccess(const std::string& key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    RegistryKey opened;
    const bool set = RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, READ_CONTROL | WRITE_DAC,
                                   opened.receive()) == ERROR_SUCCESS &&
                     RegSetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    return set;
}

class Win32RegistryFixture : public RegistryFixture {
public:
    Win32RegistryFixture() { createdKey(scratch_); }
    ~Win32RegistryFixture() override {
        for (const auto& key : locked_) setAccess(key, L"D:(A;;KA;;;WD)");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, wide(scratch_).c_str());
    }

    Registry& registry() override { return registry_; }

    void writeRaw(const std::string& key, const std::string& name, const RegistryValue& value) override {
        std::string data = value.text;
        if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ) {
            const std::wstring units = wide(value.text);
            data.assign(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(wchar_t));
        } else if (value.type == REG_DWORD) {
            data.assign(reinterpret_cast<const char*>(&value.number), sizeof value.number);
        }
        // Followed by a unit that is not NUL, so that RegSetValueExW stores no
        // more than these bytes.
        std::wstring guarded(data.size() / 2 + 2, L'\xFFFF');
        std::memcpy(guarded.data(), data.data(), data.size());
        const LONG status =
            RegSetValueExW(createdKey(key).get(), wide(name).c_str(), 0, value.type,
                           reinterpret_cast<const BYTE*>(guarded.data()), static_cast<DWORD>(data.size()));
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot write " + key + "|" + name);
    }

    // Everyone may read the key, nobody may change it.
    bool refuseWritesBelow(const std::string& key) override {
        createdKey(key);
        if (!setAccess(key, L"D:P(A;;KR;;;WD)")) return false;
        locked_.push_back(key);
        return true;
    }

    bool checksRightsOnKeys() const override {
        return !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    }

    const std::string& scratch() const override { return scratch_; }

private:
    Win32Registry registry_;
    std::string scratch_ =
        "SOFTWARE\\VelmoraContract-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    std::vector<std::string> locked_;
};

}  // namespace

std::unique_ptr<RegistryFixture> makeRegistryFixture() { return std::make_unique<Win32RegistryFixture>(); }

}  // namespace velmora
