#pragma once
#include <functional>
#include <string>
#include <vector>

#include "config/ConfigurationDocument.h"
#include "config/ConfigurationStore.h"
#include "platform/Environment.h"
#include "platform/Files.h"

namespace velmora {

// Why a whole configuration taken from a document cannot be stored: its name
// against the home it was completed with, or a value its wrapper cannot
// carry; empty when it can.
std::string documentEntryRefusal(const Configuration& c, Files& files, Environment& environment);

// Export and import of stored configurations as one JSON document. Both the
// window and the command line come here. Import never installs: it stores
// and lists, with the writes of a save.
class ConfigurationTransfer {
public:
    // How an imported entry becomes a whole configuration: what it leaves out
    // is filled in as for a new configuration.
    using Completion = std::function<Configuration(const DecodedEntry&)>;
    // Why a whole configuration cannot be stored, beyond what each of its values is; empty when it can.
    using Refusal = std::function<std::string(const Configuration&)>;

    // Without a completion an entry's values are taken as they are.
    ConfigurationTransfer(ConfigurationStore& store, Files& files, Environment& environment, Completion complete = {},
                          Refusal refuse = {})
        : store_(store),
          files_(files),
          environment_(environment),
          complete_(std::move(complete)),
          refuse_(std::move(refuse)) {}

    struct Result {
        std::string error;               // empty on success; nothing was changed otherwise, unless stopped
        bool alreadyStored = false;      // the error is a stored name that replacing would take over
        std::string document;            // export: the document
        std::vector<std::string> names;  // the configurations exported or imported
        // Import: what set would warn about, the configurations stored all the same (a Java Home that is not here).
        // Export: a listed name without values, left out, and stored values that are exported otherwise.
        std::vector<std::string> warnings = {};
        bool stopped = false;  // the registry refused a write part way: names are those written
    };

    // The named configurations; a name that is not stored is an error.
    Result exportNamed(const std::vector<std::string>& names);
    // Every stored configuration, in the store's list order.
    Result exportAll();
    // Checks the whole document first (its bytes as a file holds them); the
    // first problem refuses all of it.
    // A name already stored (listed, or its key there in any spelling) is
    // refused unless replace is set, and an installed one is never replaced.
    Result importDocument(const std::string& bytes, bool replace);

private:
    ConfigurationStore& store_;
    Files& files_;
    Environment& environment_;
    Completion complete_;
    Refusal refuse_;
};

}  // namespace velmora
