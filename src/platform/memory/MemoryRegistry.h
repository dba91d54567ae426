#pragma once
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/memory/NameCompare.h"

namespace velmora {

// Typed values under key paths, with the registry's own rules: names ignore
// case, creating a key creates its whole path, a key with subkeys is not
// deleted, a REG_SZ reads back up to its first NUL.
class MemoryRegistry : public Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };

    MemoryRegistry();

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
    // The 32-bit view of SOFTWARE is SOFTWARE\WOW6432Node, as on 64-bit Windows.
    std::optional<std::string> queryStringValueInView(RootKey root, const std::string& subkey,
                                                      const std::string& name, RegistryView view) override;
    std::vector<std::string> subkeyNamesInView(RootKey root, const std::string& subkey, RegistryView view) override;

    // For tests: write any typed data, and look at what is stored.
    void setRawValue(RootKey root, const std::string& subkey, const std::string& name, std::uint32_t type,
                     const std::string& data);
    std::optional<Value> rawValue(RootKey root, const std::string& subkey, const std::string& name) const;
    bool keyExists(RootKey root, const std::string& subkey) const;
    // Every value written through the interface, as "subkey|name", in order.
    const std::vector<std::string>& writeLog() const { return writes_; }

private:
    struct Key {
        std::map<std::string, std::unique_ptr<Key>, NoCaseLess> subkeys;
        std::map<std::string, Value, NoCaseLess> values;
    };

    static std::optional<std::vector<std::string>> splitPath(const std::string& subkey);
    Key* find(RootKey root, const std::string& subkey) const;
    Key* create(RootKey root, const std::string& subkey);
    void setValue(RootKey root, const std::string& subkey, const std::string& name, std::uint32_t type,
                  const std::string& data);

    std::map<RootKey, std::unique_ptr<Key>> roots_;
    std::vector<std::string> writes_;
};

}  // namespace velmora
