#pragma once
#include "platform/Registry.h"

namespace velmora {

// The registry operations over advapi32, one short-lived handle per call.
class Win32Registry : public Registry {
public:
    void createKey(RootKey root, const std::string& subkey) override;
    std::optional<std::string> queryStringValue(RootKey root, const std::string& subkey,
                                                const std::string& name) override;
    void setMultiStringValue(RootKey root, const std::string& subkey, const std::string& name,
                             const std::string& data) override;
    void setStringValue(RootKey root, const std::string& subkey, const std::string& name,
                        const std::string& text) override;
    std::int32_t queryDwordValue(RootKey root, const std::string& subkey, const std::string& name) override;
    void setDwordValue(RootKey root, const std::string& subkey, const std::string& name,
                       std::int32_t value) override;
    void deleteKey(RootKey root, const std::string& subkey) override;
    std::optional<KeyContents> keyContents(RootKey root, const std::string& subkey) override;

    std::vector<std::optional<std::string>> queryStringValues(RootKey root, const std::string& subkey,
                                                              const std::vector<std::string>& names) override;
    std::vector<std::int32_t> queryDwordValues(RootKey root, const std::string& subkey,
                                               const std::vector<std::string>& names) override;
    void setValues(RootKey root, const std::string& subkey, const std::vector<Write>& writes) override;

    std::optional<std::string> queryStringValueInView(RootKey root, const std::string& subkey,
                                                      const std::string& name, RegistryView view) override;
    std::vector<std::string> subkeyNamesInView(RootKey root, const std::string& subkey, RegistryView view) override;
};

}  // namespace velmora
