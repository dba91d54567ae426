#include "config/ConfigurationTransfer.h"

#include "config/ConfigurationFields.h"
#include "config/ConfigurationList.h"
#include "config/Encodings.h"
#include "config/StoreLayout.h"

namespace velmora {

namespace {
constexpr RootKey kMachine = HKEY_LOCAL_MACHINE_ROOT;
const std::string kNothingChanged = "Import refused, nothing was changed. ";
}  // namespace

std::vector<std::string> ConfigurationTransfer::storedNames() {
    return decodeMultiString(registry_.queryStringValue(kMachine, store::kStoreKey, store::kListValue).value_or(""));
}

// Values as a load reads them: a size the load would not show exports as no
// size, a JVM that is not "server" as "client". One read of each kind per
// key keeps a thousand configurations quick.
Configuration ConfigurationTransfer::readStored(const std::string& name) {
    const std::string key = store::configurationKey(name);
    std::vector<std::string> textNames, numberNames;
    for (const StoredField& field : storedFields())
        (field.kind == FieldKind::Size || field.kind == FieldKind::Check ? numberNames : textNames).push_back(field.name);
    const auto texts = registry_.queryStringValues(kMachine, key, textNames);
    const auto numbers = registry_.queryDwordValues(kMachine, key, numberNames);

    Configuration c;
    c.serviceName = name;
    std::size_t text = 0, number = 0;
    for (const StoredField& field : storedFields()) {
        switch (field.kind) {
            case FieldKind::Text: c.*field.text = texts[text++].value_or(""); break;
            case FieldKind::Jvm: c.*field.text = isServerJvm(texts[text++].value_or("")) ? "server" : "client"; break;
            case FieldKind::Options: c.additionalJvmOptions = decodeMultiString(texts[text++].value_or("")); break;
            case FieldKind::Size: c.*field.text = sizeFromDword(numbers[number++]); break;
            case FieldKind::Check: c.*field.check = checkFromDword(numbers[number++]) == 1 ? 1 : 0; break;
        }
    }
    return c;
}

ConfigurationTransfer::Result ConfigurationTransfer::exportNamed(const std::vector<std::string>& names) {
    const auto stored = storedNames();
    std::vector<Configuration> configurations;
    Result result;
    for (const auto& name : names) {
        if (!listHoldsName(stored, name)) return {"No configuration named \"" + name + "\" is stored.", {}, {}};
        configurations.push_back(readStored(name));
        result.names.push_back(name);
    }
    result.document = encodeConfigurations(configurations, text_);
    return result;
}

ConfigurationTransfer::Result ConfigurationTransfer::exportAll() { return exportNamed(storedNames()); }

// The value writes of a save, in its order, after the old key is gone; the
// name list is written once for the whole import.
void ConfigurationTransfer::writeStored(const Configuration& c, bool replacing) {
    const std::string key = store::configurationKey(c.serviceName);
    if (replacing) registry_.deleteKey(kMachine, key);
    std::vector<Registry::Write> writes;
    for (const StoredField& field : storedFields()) {
        switch (field.kind) {
            case FieldKind::Text:
            case FieldKind::Jvm: writes.push_back({field.name, kRegSz, c.*field.text}); break;
            case FieldKind::Size: writes.push_back({field.name, kRegDword, {}, sizeToDword(c.*field.text)}); break;
            case FieldKind::Check: writes.push_back({field.name, kRegDword, {}, checkToDword(c.*field.check)}); break;
            case FieldKind::Options:
                writes.push_back({store::kInstalled, kRegDword, {}, 0});
                writes.push_back({field.name, kRegMultiSz, encodeMultiString(c.additionalJvmOptions)});
                break;
        }
    }
    registry_.setValues(kMachine, key, writes);
}

ConfigurationTransfer::Result ConfigurationTransfer::importDocument(const std::string& document, bool replace) {
    DecodedConfigurations decoded = decodeConfigurations(document, text_);
    if (!decoded.error.empty()) return {kNothingChanged + decoded.error, {}, {}};

    auto names = storedNames();
    for (const Configuration& c : decoded.configurations) {
        if (!listHoldsName(names, c.serviceName)) continue;
        if (!replace)
            return {kNothingChanged + "Configuration \"" + c.serviceName +
                        "\" is already stored; import with replace to overwrite it.",
                    {}, {}};
        if (installedFromDword(registry_.queryDwordValue(kMachine, store::configurationKey(c.serviceName), store::kInstalled)))
            return {kNothingChanged + "Configuration \"" + c.serviceName +
                        "\" is installed as a service; uninstall it before replacing it.",
                    {}, {}};
    }

    Result result;
    for (const Configuration& c : decoded.configurations) {
        writeStored(c, listHoldsName(names, c.serviceName));
        names = listWithNameLast(names, c.serviceName);
        result.names.push_back(c.serviceName);
    }
    registry_.setMultiStringValue(kMachine, store::kStoreKey, store::kListValue, encodeMultiString(names));
    return result;
}

}  // namespace velmora
