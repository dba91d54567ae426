#include "config/ConfigurationStore.h"

#include <algorithm>

#include "config/ConfigurationFields.h"
#include "config/Encodings.h"
#include "config/NameList.h"
#include "config/NameRule.h"
#include "config/StoreLayout.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

namespace velmora {

namespace {

std::vector<RegistryWrite> recordWrites(bool installed, const InstallRecord& record) {
    return {RegistryWrite::numberValue(store::kInstalled, installed ? 1 : 0),
            RegistryWrite::textValue(store::kInstalledProgramLine, record.programLine),
            RegistryWrite::textValue(store::kInstalledMark, record.mark),
            RegistryWrite::textValue(store::kInstalledProgramDigest, record.programDigest),
            RegistryWrite::numberValue(store::kInstalledSettingsApplied, record.settingsApplied ? 1 : 0),
            RegistryWrite::numberValue(store::kInstalledAdopted, record.adopted ? 1 : 0)};
}

std::vector<std::string> readNames() {
    std::vector<std::string> names;
    for (const StoredField& field : storedFields()) names.push_back(field.name);
    for (const std::string* extra :
         {&store::kInstalled, &store::kInstalledProgramLine, &store::kInstalledMark, &store::kInstalledProgramDigest,
          &store::kInstalledSettingsApplied, &store::kInstalledAdopted, &store::kCreatedFolders})
        names.push_back(*extra);
    return names;
}

std::vector<RegistryWrite> fieldWrites(const Configuration& c) {
    std::vector<RegistryWrite> writes;
    for (const StoredField& field : storedFields()) {
        switch (field.kind) {
            case FieldKind::Text:
            case FieldKind::Jvm:
            case FieldKind::Choice:
            case FieldKind::Account: writes.push_back(RegistryWrite::textValue(field.name, fieldText(c, field))); break;
            case FieldKind::Size: writes.push_back(RegistryWrite::numberValue(field.name, c.*field.size)); break;
            case FieldKind::Seconds: writes.push_back(RegistryWrite::numberValue(field.name, c.*field.seconds)); break;
            case FieldKind::Check:
                writes.push_back(RegistryWrite::numberValue(
                    field.name, static_cast<std::uint32_t>(checkToDword(c.*field.check ? 1 : 0))));
                break;
            case FieldKind::Options:
            case FieldKind::List:
            case FieldKind::Variables: writes.push_back(RegistryWrite::listValue(field.name, c.*field.list)); break;
        }
    }
    return writes;
}

}  // namespace

std::vector<RegistryWrite> storeWrites(const Configuration& c, bool installed, const InstallRecord& record,
                                       const std::vector<std::string>& createdFolders) {
    std::vector<RegistryWrite> writes = fieldWrites(c);
    for (auto& w : recordWrites(installed, record)) writes.push_back(std::move(w));
    writes.push_back(RegistryWrite::listValue(store::kCreatedFolders, createdFolders));
    return writes;
}

NameList ConfigurationStore::nameList() { return NameList(names()); }

std::vector<std::string> ConfigurationStore::listed() {
    const auto list = registry_.read(kLocalMachine, store::kStoreKey, store::kListValue);
    // A list some other hand rewrote in another type would hide every configuration, and the next save would
    // write it anew with one name: the keys themselves still tell which are stored.
    if (list && list->type != kRegMultiSz && list->type != kRegSz)
        if (auto contents = registry_.contents(kLocalMachine, store::kStoreKey)) return contents->subkeyNames;
    return storedList(list);
}

std::vector<std::string> ConfigurationStore::names() {
    std::vector<std::string> names = listed();
    if (older_.empty()) return names;
    for (std::string& name : older_.namesBeyond(NameList(names))) names.push_back(std::move(name));
    return names;
}

bool ConfigurationStore::keyExists(const std::string& name) {
    return unusableNameReason(name).empty() && (registry_.contents(kLocalMachine, store::configurationKey(name)) ||
                                                (!older_.empty() && older_.valuesOf(name, NameList(listed()))));
}

MaybeFailure ConfigurationStore::takeInOlderStore() {
    // Another Velmora may have taken it in since this one first looked, and deleted some of it since.
    older_.askAgain();
    if (older_.empty()) return std::nullopt;
    std::vector<std::string> list = listed();
    const NameList here(list);
    const std::vector<std::string> older = older_.namesBeyond(here);
    for (const std::string& name : older) {
        const auto values = older_.valuesOf(name, here);
        // Its values are not lost for a key that could not be read: nothing is taken in, and nothing written.
        if (!values && older_.holdsKey(name))
            return Failure{"take in",
                           "the configuration \"" + name + "\" of an older Velmora (HKEY_LOCAL_MACHINE\\" +
                               store::kOlderStoreKey + "\\" + name +
                               ") could not be read. Let administrators read that key, or delete it.",
                           0};
        if (values && !registry_.contents(kLocalMachine, store::configurationKey(name))) {
            std::vector<RegistryWrite> writes;
            for (const auto& [valueName, value] : values->values)
                writes.push_back(RegistryWrite::exactValue(valueName, value));
            if (auto failure = writeWhole(store::configurationKey(name), writes)) return failure;
        }
        list.push_back(name);
    }
    if (!older.empty())
        if (auto failure = writeList(list)) return failure;
    // Also when this store lists all its names already: one deleted here must not come back from there.
    return older_.noteTakenIn();
}

bool ConfigurationStore::isStored(const std::string& name) { return !storedSpelling(name).empty(); }

std::string ConfigurationStore::storedSpelling(const std::string& name) {
    if (std::string listed = nameList().spellingOf(name); !listed.empty()) return listed;
    return keyExists(name) ? name : std::string();
}

StoredConfiguration ConfigurationStore::read(const std::string& name) {
    StoredConfiguration stored;
    stored.values.serviceName = name;
    if (!unusableNameReason(name).empty()) return stored;
    const std::string key = store::configurationKey(name);
    const std::vector<std::string> valueNames = readNames();
    auto values = registry_.readMany(kLocalMachine, key, valueNames);
    // Listing the key is asked only of a key without any of our values.
    stored.keyExists = std::any_of(values.begin(), values.end(), [](const auto& value) { return value.has_value(); }) ||
                       registry_.contents(kLocalMachine, key).has_value();
    if (!stored.keyExists && !older_.empty())
        if (const auto older = older_.valuesOf(name, NameList(listed()))) {
            stored.keyExists = true;
            for (std::size_t v = 0; v < valueNames.size(); ++v) values[v] = valueNamed(*older, valueNames[v]);
        }
    auto text = [&](std::size_t i) {
        StoredText read = storedText(values[i]);
        if (!read.usable)
            stored.unusableValues.push_back({valueNames[i], "a plain text (REG_SZ without NUL characters)"});
        return read.text;
    };
    auto number = [&](std::size_t i) {
        if (values[i] && values[i]->type != kRegDword)
            stored.unusableValues.push_back({valueNames[i], "a number (REG_DWORD)"});
        return storedNumber(values[i]);
    };
    // A list written by hand as one text is still read.
    auto list = [&](std::size_t i) {
        if (values[i] && values[i]->type != kRegMultiSz && values[i]->type != kRegSz)
            stored.unusableValues.push_back({valueNames[i], "a list (REG_MULTI_SZ)"});
        return storedList(values[i]);
    };
    Configuration& c = stored.values;
    std::size_t i = 0;
    for (const StoredField& field : storedFields()) {
        if (field.defaultWhenAbsent && !values[i]) {
            ++i;
            continue;
        }
        switch (field.kind) {
            case FieldKind::Text:
            case FieldKind::Account: c.*field.text = text(i); break;
            case FieldKind::Choice: {
                const std::string word = text(i);
                if (valueProblem(field, word).empty())
                    setFieldText(c, field, word);
                else if (!word.empty())
                    stored.unknownChoices.push_back({field.name, word});
                break;
            }
            // Anything but "server" was a client JVM to the program that wrote it.
            case FieldKind::Jvm: c.jvmType = isServerJvm(text(i)) ? JvmType::Server : JvmType::Client; break;
            case FieldKind::Size:
                c.*field.size =
                    wholeNumber<std::uint16_t>(sizeFromDword(static_cast<std::int32_t>(number(i)))).value_or(0);
                break;
            // Seconds beyond what a setter takes would overflow as milliseconds.
            case FieldKind::Seconds: {
                const std::string seconds = std::to_string(number(i));
                if (valueProblem(field, seconds).empty())
                    setFieldText(c, field, seconds);
                else
                    stored.unknownChoices.push_back({field.name, seconds});
                break;
            }
            // A check box's state is its low 16 bits; only 1 is ticked.
            case FieldKind::Check: c.*field.check = checkFromDword(static_cast<std::int32_t>(number(i))) == 1; break;
            case FieldKind::Options:
            case FieldKind::List:
            case FieldKind::Variables: c.*field.list = list(i); break;
        }
        ++i;
    }
    stored.installed = storedNumber(values[i++]) != 0;
    const std::size_t unusableBefore = stored.unusableValues.size();
    stored.record.programLine = text(i++);
    stored.record.mark = text(i++);
    stored.record.programDigest = text(i++);
    stored.record.readable = stored.unusableValues.size() == unusableBefore;
    stored.record.settingsApplied = storedNumber(values[i++]) != 0;
    stored.record.adopted = storedNumber(values[i++]) != 0;
    stored.createdFolders = storedList(values[i++]);
    return stored;
}

std::string ConfigurationStore::readText(const std::string& name, const std::string& valueName) {
    if (!unusableNameReason(name).empty()) return {};
    auto value = registry_.read(kLocalMachine, store::configurationKey(name), valueName);
    if (const auto older = value || older_.empty() ? std::nullopt : older_.valuesOf(name, NameList(listed())))
        value = valueNamed(*older, valueName);
    const StoredText read = storedText(value);
    return read.usable ? read.text : std::string();
}

ConfigurationStore::HeldKey ConfigurationStore::held(const std::string& key) {
    HeldKey before;
    if (const auto contents = registry_.contents(kLocalMachine, key)) {
        before.existed = true;
        before.names = contents->valueNames;
        before.values = registry_.readMany(kLocalMachine, key, before.names);
    }
    return before;
}

// Values written that it did not hold go first, which also frees what a full registry lacks; only the values
// touched get their old data again, so that no value left alone is rewritten. A key that was not there goes again.
MaybeFailure ConfigurationStore::putBack(const std::string& key, const HeldKey& before,
                                         const std::vector<std::string>& touched) {
    // A key that cannot be written to, new, is mostly one that cannot be deleted either: no list names it.
    if (!before.existed) {
        (void)registry_.deleteKey(kLocalMachine, key);
        return std::nullopt;
    }
    const auto among = [](const std::vector<std::string>& names, const std::string& name) {
        return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, name); });
    };
    for (const std::string& name : touched)
        if (!among(before.names, name))
            if (auto failure = registry_.deleteValue(kLocalMachine, key, name)) return failure;
    std::vector<RegistryWrite> back;
    for (std::size_t i = 0; i < before.names.size(); ++i)
        if (before.values[i] && among(touched, before.names[i]))
            back.push_back(RegistryWrite::exactValue(before.names[i], *before.values[i]));
    return registry_.write(kLocalMachine, key, back);
}

namespace {

Failure withPutBack(Failure failure, const MaybeFailure& notBack) {
    if (notBack)
        failure.description += " Putting the old values back failed too (" + notBack->description +
                               "): the configuration may hold some of the new ones.";
    return failure;
}

std::vector<std::string> namesOf(const std::vector<RegistryWrite>& writes) {
    std::vector<std::string> names;
    for (const RegistryWrite& w : writes) names.push_back(w.name);
    return names;
}

}  // namespace

MaybeFailure ConfigurationStore::writeWhole(const std::string& key, const std::vector<RegistryWrite>& writes) {
    const HeldKey before = held(key);
    const MaybeFailure failure = registry_.write(kLocalMachine, key, writes);
    if (!failure) return failure;
    return withPutBack(*failure, putBack(key, before, namesOf(writes)));
}

MaybeFailure ConfigurationStore::writeList(const std::vector<std::string>& names) {
    return registry_.write(kLocalMachine, store::kStoreKey, {RegistryWrite::listValue(store::kListValue, names)});
}

// The new values are written over the old ones first; only then do values
// that no save writes go, so that an older configuration's leftovers do not
// survive and nothing is lost when a write fails.
MaybeFailure ConfigurationStore::save(const Configuration& c, bool installed, const InstallRecord& record,
                                      const std::vector<std::string>& createdFolders) {
    if (auto failure = takeInOlderStore()) return failure;
    const std::string key = store::configurationKey(c.serviceName);
    const HeldKey before = held(key);
    const std::vector<RegistryWrite> writes = storeWrites(c, installed, record, createdFolders);
    if (auto failure = writeWhole(key, writes)) return failure;
    // What the key held before the save, and what it writes: put back as it was, should a later step fail.
    std::vector<std::string> touched = namesOf(writes);
    touched.insert(touched.end(), before.names.begin(), before.names.end());
    const std::vector<std::string> ours = readNames();
    MaybeFailure failure;
    if (const auto contents = registry_.contents(kLocalMachine, key))
        for (const auto& value : contents->valueNames)
            if (!failure &&
                std::none_of(ours.begin(), ours.end(), [&](const std::string& name) { return sameName(name, value); }))
                failure = registry_.deleteValue(kLocalMachine, key, value);
    // A save the list could not take leaves the configuration as it was, so that the failure says what happened.
    if (!failure) failure = writeList(nameList().withLast(c.serviceName));
    if (!failure) return failure;
    return withPutBack(*failure, putBack(key, before, touched));
}

MaybeFailure ConfigurationStore::markInstalled(const std::string& name, const InstallRecord& record) {
    if (auto failure = takeInOlderStore()) return failure;
    return writeWhole(store::configurationKey(name), recordWrites(true, record));
}

MaybeFailure ConfigurationStore::markNotInstalled(const std::string& name, const std::string& leftCopyDigest) {
    if (auto failure = takeInOlderStore()) return failure;
    return writeWhole(store::configurationKey(name), recordWrites(false, {{}, {}, leftCopyDigest}));
}

MaybeFailure ConfigurationStore::remove(const std::string& name) {
    if (auto failure = takeInOlderStore()) return failure;
    if (unusableNameReason(name).empty())
        if (auto failure = registry_.deleteKey(kLocalMachine, store::configurationKey(name))) return failure;
    return writeList(nameList().without(name));
}

ConfigurationStore::SavedMany ConfigurationStore::saveMany(const std::vector<Configuration>& configurations) {
    if (auto failure = takeInOlderStore()) return {0, failure, std::nullopt};
    std::vector<std::string> incomingNames;
    for (const Configuration& c : configurations) incomingNames.push_back(c.serviceName);
    const NameList incoming(incomingNames);
    const std::vector<std::string> listedBefore = names();
    std::vector<std::string> list;
    for (const auto& name : listedBefore)
        if (!incoming.holds(name)) list.push_back(name);
    for (const Configuration& c : configurations) list.push_back(c.serviceName);
    if (auto failure = writeList(list)) return {0, failure, std::nullopt};
    // A configuration replaced keeps what Velmora made for it: a wrapper copy left behind, the folders it created.
    for (std::size_t i = 0; i < configurations.size(); ++i) {
        const Configuration& c = configurations[i];
        const StoredConfiguration before = read(c.serviceName);
        // A key made new has no record, which its values absent read as: each write is dear, under Wine most.
        const auto writes =
            before.keyExists ? storeWrites(c, false, before.record, before.createdFolders) : fieldWrites(c);
        if (auto failure = writeWhole(store::configurationKey(c.serviceName), writes)) {
            // The list as though only those written had been imported.
            const NameList written(std::vector<std::string>(incomingNames.begin(),
                                                            incomingNames.begin() + static_cast<std::ptrdiff_t>(i)));
            std::vector<std::string> left;
            for (const auto& name : listedBefore)
                if (!written.holds(name)) left.push_back(name);
            left.insert(left.end(), incomingNames.begin(), incomingNames.begin() + static_cast<std::ptrdiff_t>(i));
            return {i, failure, writeList(left)};
        }
    }
    return {configurations.size(), std::nullopt, std::nullopt};
}

}  // namespace velmora
