#include "config/ConfigurationTransfer.h"

#include <algorithm>

#include "config/ConfigurationDocument.h"
#include "config/NameRule.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"

namespace velmora {

namespace {
const std::string kNothingChanged = "Import refused, nothing was changed. ";
}

ConfigurationTransfer::Result ConfigurationTransfer::exportNamed(const std::vector<std::string>& names) {
    std::vector<Configuration> configurations;
    Result result;
    // The list is read and folded once: looking each name up in it afresh made an export quadratic.
    const NameList listed = store_.nameList();
    for (const auto& name : names) {
        const std::string spelling = listed.spellingOf(name);
        const std::string stored = !spelling.empty() ? spelling : store_.keyExists(name) ? name : "";
        if (stored.empty()) return {"No configuration named \"" + name + "\" is stored.", false, {}, {}};
        // Named twice, in any spelling, it is exported once: an import takes no name twice.
        if (std::find(result.names.begin(), result.names.end(), stored) != result.names.end()) continue;
        // What opening it would warn of is said here too: the document would carry values no one stored.
        const StoredConfiguration read = store_.read(stored);
        if (!read.keyExists) {
            result.warnings.push_back("The configuration \"" + stored +
                                      "\" is listed, but its values are missing from the registry: it was left out "
                                      "of the export.");
            continue;
        }
        for (const auto& [value, type] : read.unusableValues)
            result.warnings.push_back("The value \"" + value + "\" of the configuration \"" + stored + "\" is not " +
                                      type + ": it is exported empty.");
        for (const auto& [value, word] : read.unknownChoices)
            result.warnings.push_back(
                "The value \"" + visibleText(word) + "\" of \"" + value + "\" of the configuration \"" + stored +
                "\" is not one Velmora knows: it is exported as " + fieldText(read.values, *storedField(value)) + ".");
        configurations.push_back(read.values);
        result.names.push_back(stored);
    }
    result.document = encodeConfigurations(configurations);
    // What an import would refuse (a name an older Velmora allowed, say) is said here, not where it is taken to.
    if (const auto back = decodeConfigurations(result.document); !back.error.empty())
        result.warnings.push_back("An import of this export would be refused: " + back.error);
    return result;
}

ConfigurationTransfer::Result ConfigurationTransfer::exportAll() { return exportNamed(store_.names()); }

std::string documentEntryRefusal(const Configuration& c, Files& files, Environment& environment) {
    if (std::string why = nameRuleViolation(c.serviceName, c.catalinaHome); !why.empty()) return why;
    for (const auto& value : uncarriedValues(tomcatLayoutOf(c.catalinaHome, files), c, environment))
        return uncarriedValueMessage(value);
    // What the window and set refuse to tick or choose is not taken from a document either.
    for (const auto& choice :
         unrunnableChoices(c, tomcatVersionAt(c.catalinaHome, files), jdkFeatureVersionOf(c.javaHome, files), files))
        return choice.why;
    return {};
}

ConfigurationTransfer::Result ConfigurationTransfer::importDocument(const std::string& bytes, bool replace) {
    const DocumentText document = documentText(bytes);
    if (!document.error.empty()) return {kNothingChanged + document.error, false, {}, {}};
    DecodedConfigurations decoded = decodeConfigurations(document.text);
    if (!decoded.error.empty()) return {kNothingChanged + decoded.error, false, {}, {}};
    std::vector<Configuration> configurations;
    for (const DecodedEntry& entry : decoded.entries)
        configurations.push_back(complete_ ? complete_(entry) : entry.values);

    const NameList listed = store_.nameList();
    for (const Configuration& c : configurations) {
        std::string why = documentEntryRefusal(c, files_, environment_);
        if (why.empty() && refuse_) why = refuse_(c);
        if (!why.empty()) return {kNothingChanged + "Configuration \"" + c.serviceName + "\": " + why, false, {}, {}};
        const std::string spelling = listed.spellingOf(c.serviceName);
        const bool stored = !spelling.empty() || store_.keyExists(c.serviceName);
        if (!stored) continue;
        const std::string name = !spelling.empty() ? spelling : c.serviceName;
        if (!replace)
            return {
                kNothingChanged + "Configuration \"" + name + "\" is already stored and is replaced only on request.",
                true,
                {},
                {}};
        if (store_.read(name).installed)
            return {kNothingChanged + "Configuration \"" + name +
                        "\" is installed as a service; uninstall it before replacing it.",
                    false,
                    {},
                    {}};
    }

    const ConfigurationStore::SavedMany saved = store_.saveMany(configurations);
    Result result;
    for (std::size_t i = 0; i < saved.written; ++i) result.names.push_back(configurations[i].serviceName);
    if (saved.failure) {
        result.stopped = true;
        result.error = "Import stopped: the registry refused a write (" + saved.failure->description + "). " +
                       (result.names.empty() ? std::string("Nothing was imported")
                                             : "Imported before it stopped: " + quotedNames(result.names)) +
                       (saved.listNotPutRight
                            ? ". The list of stored configurations could not be put right either (" +
                                  saved.listNotPutRight->description + "): it may name some that were not imported"
                            : std::string()) +
                       ". Run Velmora as an administrator and import the file again" +
                       (result.names.empty() ? "." : ", replacing them.");
        return result;
    }
    for (const Configuration& c : configurations) {
        if (!c.javaHome.empty() && !files_.folderExists(c.javaHome))
            result.warnings.push_back("Configuration \"" + c.serviceName + "\": '" + c.javaHome +
                                      "' is specified for 'Java home' but it does not exist. Tomcat may not start "
                                      "without it.");
    }
    return result;
}

}  // namespace velmora
