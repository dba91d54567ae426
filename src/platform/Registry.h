#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

using RootKey = std::uint32_t;
constexpr RootKey HKEY_LOCAL_MACHINE_ROOT = 0x80000002u;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

enum class RegistryView { Bits64, Bits32 };

// The seven registry operations every part of the program goes through, and
// a look at what a key holds. None of them reports failure: a missing value reads as absent or 0 and a
// failed write is lost.
class Registry {
public:
    virtual ~Registry() = default;
    virtual void createKey(RootKey root, const std::string& subkey) = 0;
    virtual std::optional<std::string> queryStringValue(RootKey root, const std::string& subkey,
                                                        const std::string& name) = 0;
    virtual void setMultiStringValue(RootKey root, const std::string& subkey, const std::string& name,
                                     const std::string& data) = 0;
    virtual void setStringValue(RootKey root, const std::string& subkey, const std::string& name,
                                const std::string& text) = 0;
    virtual std::int32_t queryDwordValue(RootKey root, const std::string& subkey,
                                         const std::string& name) = 0;
    virtual void setDwordValue(RootKey root, const std::string& subkey, const std::string& name,
                               std::int32_t value) = 0;
    virtual void deleteKey(RootKey root, const std::string& subkey) = 0;

    // The names of a key's values and subkeys; nothing when the key is missing.
    struct KeyContents {
        std::vector<std::string> valueNames;
        std::vector<std::string> subkeyNames;
    };
    virtual std::optional<KeyContents> keyContents(RootKey root, const std::string& subkey) = 0;

    // Many values of one key at once, each exactly as the single operation
    // above would read or write it. By default one call each; the real
    // registry opens the key once, which export and import of many
    // configurations need.
    struct Write {
        std::string name;
        std::uint32_t type;  // kRegSz, kRegDword or kRegMultiSz
        std::string data;    // the text or the list data
        std::int32_t number = 0;  // the DWORD
    };
    virtual std::vector<std::optional<std::string>> queryStringValues(RootKey root, const std::string& subkey,
                                                                       const std::vector<std::string>& names) {
        std::vector<std::optional<std::string>> values;
        for (const auto& name : names) values.push_back(queryStringValue(root, subkey, name));
        return values;
    }
    virtual std::vector<std::int32_t> queryDwordValues(RootKey root, const std::string& subkey,
                                                       const std::vector<std::string>& names) {
        std::vector<std::int32_t> values;
        for (const auto& name : names) values.push_back(queryDwordValue(root, subkey, name));
        return values;
    }
    virtual void setValues(RootKey root, const std::string& subkey, const std::vector<Write>& writes) {
        for (const auto& w : writes) {
            if (w.type == kRegDword)
                setDwordValue(root, subkey, w.name, w.number);
            else if (w.type == kRegMultiSz)
                setMultiStringValue(root, subkey, w.name, w.data);
            else
                setStringValue(root, subkey, w.name, w.data);
        }
    }

    // Reads for finding installed JDKs, which register in the 64-bit or the
    // 32-bit view of HKEY_LOCAL_MACHINE\SOFTWARE (KEY_WOW64_64KEY, KEY_WOW64_32KEY).
    virtual std::optional<std::string> queryStringValueInView(RootKey root, const std::string& subkey,
                                                              const std::string& name, RegistryView view) = 0;
    virtual std::vector<std::string> subkeyNamesInView(RootKey root, const std::string& subkey,
                                                       RegistryView view) = 0;
};

}  // namespace velmora
