#pragma once
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/Text.h"

namespace velmora {

// Typed values under key paths, with the registry's own rules: names ignore
// case over all of Unicode, creating a key creates its whole path, a key with
// subkeys is not deleted, a list is stored as its entries each followed by NUL.
class MemoryRegistry : public Registry {
public:
    MemoryRegistry();

    std::optional<RegistryValue> read(RootKey root, const std::string& key, const std::string& name) override;
    MaybeFailure write(RootKey root, const std::string& key, const std::vector<RegistryWrite>& values) override;
    MaybeFailure createKey(RootKey root, const std::string& key) override;
    MaybeFailure deleteKey(RootKey root, const std::string& key) override;
    MaybeFailure deleteValue(RootKey root, const std::string& key, const std::string& name) override;
    std::optional<KeyContents> contents(RootKey root, const std::string& key) override;
    // The 32-bit view of SOFTWARE is SOFTWARE\WOW6432Node, as on 64-bit Windows.
    std::optional<std::string> readTextInView(RootKey root, const std::string& key, const std::string& name,
                                              RegistryView view) override;
    std::vector<std::string> subkeysInView(RootKey root, const std::string& key, RegistryView view) override;
    std::optional<KeyValues> readKeyInView(RootKey root, const std::string& key, RegistryView view) override;

    // For tests: any typed data, a look at what is stored, keys that refuse
    // writes (as without administrator rights), and every write in order.
    void setRaw(RootKey root, const std::string& key, const std::string& name, RegistryValue value);
    bool keyExists(RootKey root, const std::string& key) const;
    std::set<std::string, NameLess> readOnlyKeys;    // writes below these fail with access denied
    std::set<std::string, NameLess> unreadableKeys;  // listed by their parent key, but reading them is denied
    std::vector<std::string> writeLog;               // "key|name" per value written
    // So many more values are written, then one write fails, as a full registry fails part way; with
    // writesRefused above 1 the writes right after it fail too, as a registry that stays full.
    std::optional<std::size_t> valuesBeforeFailure;
    int writesRefused = 1;
    int keysCreated = 0;
    int reads = 0;  // values read and keys listed

private:
    int stillRefused_ = 0;
    struct Key {
        std::map<std::string, std::unique_ptr<Key>, NameLess> subkeys;
        std::map<std::string, RegistryValue, NameLess> values;
    };

    static std::optional<std::vector<std::string>> splitPath(const std::string& key);
    Key* find(RootKey root, const std::string& key) const;
    const Key* readable(RootKey root, const std::string& key) const;
    Key* create(RootKey root, const std::string& key);
    bool refusesWrites(const std::string& key) const;

    std::map<RootKey, std::unique_ptr<Key>> roots_;
};

}  // namespace velmora
