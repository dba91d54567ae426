#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/InstallRecord.h"
#include "config/NameList.h"
#include "config/OlderStore.h"
#include "platform/Registry.h"

namespace velmora {

// A stored configuration as the store holds it, each value decoded once by
// the field table: sizes as the text a load shows, check boxes as their low
// 16 bits, the JVM as "server" or "client".
struct StoredConfiguration {
    Configuration values;
    bool installed = false;
    InstallRecord record;
    bool keyExists = false;
    // Values not of the type Velmora stores them as, by store name, each with
    // that type as a message names it: they read as empty (0, not ticked).
    std::vector<std::pair<std::string, std::string>> unusableValues;
    // Values Velmora does not know (name, value), a choice's word or seconds
    // out of range: the value opens as its default.
    std::vector<std::pair<std::string, std::string>> unknownChoices;
    // Folders Velmora created for the configuration; not part of an export.
    std::vector<std::string> createdFolders;
};

// The configuration store below HKEY_LOCAL_MACHINE\SOFTWARE\velmoraconfigs:
// the name list and one key per configuration. Every write is checked; the
// list changes only after the values are written. An older Velmora's store
// is read along with it, and taken in, whole, before the first write.
class ConfigurationStore {
public:
    explicit ConfigurationStore(Registry& registry) : registry_(registry), older_(registry) {}

    // The list, in the order of the most recent saves, then the older
    // store's names it does not hold; empty entries dropped.
    std::vector<std::string> names();
    NameList nameList();
    // Stored when the list names it or its key exists, in any spelling.
    bool isStored(const std::string& name);
    // The list's spelling of the name, else the name itself when only its key
    // exists; empty when it is not stored.
    std::string storedSpelling(const std::string& name);
    bool keyExists(const std::string& name);

    StoredConfiguration read(const std::string& name);
    // One stored text of a configuration; empty when absent or not a plain text.
    std::string readText(const std::string& name, const std::string& valueName);

    // Writes every value of the configuration, the installed state and the
    // record over what the key holds, then moves the name to the list's end.
    MaybeFailure save(const Configuration& c, bool installed, const InstallRecord& record,
                      const std::vector<std::string>& createdFolders = {});
    MaybeFailure markInstalled(const std::string& name, const InstallRecord& record);
    // A wrapper copy that could not be deleted keeps its digest, so that a
    // later install or removal still knows it for Velmora's own.
    MaybeFailure markNotInstalled(const std::string& name, const std::string& leftCopyDigest = {});
    // Deletes the key, then takes the name off the list. A name that cannot be
    // a key of its own only leaves the list.
    MaybeFailure remove(const std::string& name);

    // Many configurations at once for import: the list first, in one write,
    // then each key; nothing is ever stored that the list does not name. A
    // write refused part way puts that key back as it was and takes the names
    // not written off the list again.
    struct SavedMany {
        std::size_t written = 0;  // the first so many configurations
        MaybeFailure failure;
        MaybeFailure listNotPutRight;  // after a failure: the list may still name those not written
    };
    SavedMany saveMany(const std::vector<Configuration>& configurations);
    // Copies each configuration only the older store holds into this one, exactly as it is there, and lists it;
    // a key of that name here is left as it is. Every write does it first; a command that changes anything
    // does it before it changes something else, so that it cannot fail half way for it.
    MaybeFailure takeInOlderStore();

private:
    std::vector<std::string> listed();
    MaybeFailure writeList(const std::vector<std::string>& names);
    // Every value, or none: when the registry stops part way, the key is put
    // back exactly as it was (one that was not there goes again).
    MaybeFailure writeWhole(const std::string& key, const std::vector<RegistryWrite>& writes);
    // A key's values as they were, to be put back.
    struct HeldKey {
        bool existed = false;
        std::vector<std::string> names;
        std::vector<std::optional<RegistryValue>> values;
    };
    HeldKey held(const std::string& key);
    // The touched values of the key as it held them.
    MaybeFailure putBack(const std::string& key, const HeldKey& before, const std::vector<std::string>& touched);
    Registry& registry_;
    OlderStore older_;
};

// The values a save writes for a configuration, in its order.
std::vector<RegistryWrite> storeWrites(const Configuration& c, bool installed, const InstallRecord& record,
                                       const std::vector<std::string>& createdFolders = {});

}  // namespace velmora
