#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Failure.h"

namespace velmora {

using RootKey = std::uint32_t;
constexpr RootKey kLocalMachine = 0x80000002u;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

enum class RegistryView { Bits64, Bits32 };

// A value as the registry holds it. Strings come back whole, every UTF-16 unit
// converted, NULs and a terminating NUL included: what a text may be is the
// reader's rule, not the registry's.
struct RegistryValue {
    std::uint32_t type = 0;
    std::string text;          // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ; raw bytes for other types
    std::uint32_t number = 0;  // REG_DWORD
};

// One value to write. Texts are written with their terminating NUL; a list as
// its entries, each followed by one NUL, nothing more (no data for no entries).
struct RegistryWrite {
    std::string name;
    std::uint32_t type = kRegSz;  // kRegSz, kRegDword or kRegMultiSz; any type for an exact value
    std::string text;
    std::vector<std::string> list;
    std::uint32_t number = 0;
    bool exact = false;  // text is the value's whole data as read, NULs and all: nothing is added

    static RegistryWrite textValue(std::string name, std::string text);
    static RegistryWrite numberValue(std::string name, std::uint32_t number);
    static RegistryWrite listValue(std::string name, std::vector<std::string> entries);
    // A value written back exactly as it was read, of any type.
    static RegistryWrite exactValue(std::string name, const RegistryValue& value);
};

struct KeyContents {
    std::vector<std::string> valueNames;
    std::vector<std::string> subkeyNames;
};

// A key's values with their names, and its subkeys' names.
struct KeyValues {
    std::vector<std::pair<std::string, RegistryValue>> values;
    std::vector<std::string> subkeyNames;
};

// The registry below a root. Writes report their failure; a read that fails
// for any reason reads as a missing value.
class Registry {
public:
    virtual ~Registry() = default;

    virtual std::optional<RegistryValue> read(RootKey root, const std::string& key, const std::string& name) = 0;
    // Many values of one key through one open.
    virtual std::vector<std::optional<RegistryValue>> readMany(RootKey root, const std::string& key,
                                                               const std::vector<std::string>& names);

    // Creates the key and every missing key above it, then writes in order;
    // stops at the first failure.
    virtual MaybeFailure write(RootKey root, const std::string& key, const std::vector<RegistryWrite>& values) = 0;
    virtual MaybeFailure createKey(RootKey root, const std::string& key) = 0;
    // A key that holds subkeys is not deleted (a failure); a missing one is no failure.
    virtual MaybeFailure deleteKey(RootKey root, const std::string& key) = 0;
    // A missing value is no failure.
    virtual MaybeFailure deleteValue(RootKey root, const std::string& key, const std::string& name) = 0;
    // Nothing when the key is missing.
    virtual std::optional<KeyContents> contents(RootKey root, const std::string& key) = 0;

    // Reads for finding installed JDKs, which register in the 64-bit or the
    // 32-bit view of HKEY_LOCAL_MACHINE\SOFTWARE.
    virtual std::optional<std::string> readTextInView(RootKey root, const std::string& key, const std::string& name,
                                                      RegistryView view) = 0;
    virtual std::vector<std::string> subkeysInView(RootKey root, const std::string& key, RegistryView view) = 0;
    // Everything a key holds in a view; a 64-bit Tomcat wrapper keeps its
    // values in the 32-bit one. Nothing when the key is missing.
    virtual std::optional<KeyValues> readKeyInView(RootKey root, const std::string& key, RegistryView view) = 0;
};

}  // namespace velmora
