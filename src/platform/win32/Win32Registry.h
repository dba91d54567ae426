#pragma once
#include "platform/Registry.h"

namespace velmora {

// The registry through advapi32's wide calls, one key handle per operation.
class Win32Registry : public Registry {
public:
    Win32Registry() = default;
    // Every key read or written in that view, as a program of the other
    // bitness sees the registry (keys are deleted in the native one).
    explicit Win32Registry(RegistryView view);

    std::optional<RegistryValue> read(RootKey root, const std::string& key, const std::string& name) override;
    std::vector<std::optional<RegistryValue>> readMany(RootKey root, const std::string& key,
                                                       const std::vector<std::string>& names) override;
    MaybeFailure write(RootKey root, const std::string& key, const std::vector<RegistryWrite>& values) override;
    MaybeFailure createKey(RootKey root, const std::string& key) override;
    MaybeFailure deleteKey(RootKey root, const std::string& key) override;
    MaybeFailure deleteValue(RootKey root, const std::string& key, const std::string& name) override;
    std::optional<KeyContents> contents(RootKey root, const std::string& key) override;
    std::optional<std::string> readTextInView(RootKey root, const std::string& key, const std::string& name,
                                              RegistryView view) override;
    std::vector<std::string> subkeysInView(RootKey root, const std::string& key, RegistryView view) override;
    std::optional<KeyValues> readKeyInView(RootKey root, const std::string& key, RegistryView view) override;

private:
    unsigned long view_ = 0;  // REGSAM flags added to every open
};

}  // namespace velmora
