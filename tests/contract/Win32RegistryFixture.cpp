#include <windows.h>

#include <stdexcept>

#include "platform/win32/Win32Registry.h"
#include "RegistryFixture.h"

namespace velmora {
namespace {

// RegSetValueExA adds a NUL that the caller "forgot" to string data; the wide
// call stores exactly what it is given, so raw text goes through it.
std::wstring widened(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length));
    return wide;
}

HKEY createdKey(const std::string& subkey) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        throw std::runtime_error("cannot create " + subkey);
    return key;
}

class Win32RegistryFixture : public RegistryFixture {
public:
    Win32RegistryFixture() { RegCloseKey(createdKey(scratch_)); }
    ~Win32RegistryFixture() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, scratch_.c_str()); }

    Registry& registry() override { return registry_; }

    void writeRaw(const std::string& subkey, const std::string& name, std::uint32_t type,
                  const std::string& data) override {
        HKEY key = createdKey(subkey);
        const std::wstring wideData = widened(data);
        const LONG status = type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ
            ? RegSetValueExW(key, widened(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(wideData.data()),
                             static_cast<DWORD>(wideData.size() * sizeof(wchar_t)))
            : RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot write " + subkey + "|" + name);
    }

    const std::string& scratch() const override { return scratch_; }

private:
    Win32Registry registry_;
    std::string scratch_ = "SOFTWARE\\VelmoraContract-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
};

}  // namespace

std::unique_ptr<RegistryFixture> makeRegistryFixture() { return std::make_unique<Win32RegistryFixture>(); }

}  // namespace velmora
