#pragma once
#include <string>
#include <vector>

#include "config/ConfigurationDocument.h"
#include "platform/Registry.h"

namespace velmora {

// Export and import of stored configurations as one JSON document. Both the
// window and the command line come here. Import never installs: it stores
// and lists, with the writes of a save.
class ConfigurationTransfer {
public:
    ConfigurationTransfer(Registry& registry, TextConversion text) : registry_(registry), text_(std::move(text)) {}

    struct Result {
        std::string error;               // empty on success; nothing was changed otherwise
        std::string document;            // export: the document
        std::vector<std::string> names;  // the configurations exported or imported
    };

    // The named configurations; a name that is not stored is an error.
    Result exportNamed(const std::vector<std::string>& names);
    // Every stored configuration, in the store's list order.
    Result exportAll();
    // Checks the whole document first; the first problem refuses all of it.
    // A name already stored is refused unless replace is set, and an
    // installed configuration is never replaced.
    Result importDocument(const std::string& document, bool replace);

    // A stored configuration read value by value, as an export holds it.
    Configuration readStored(const std::string& name);

private:
    std::vector<std::string> storedNames();
    void writeStored(const Configuration& c, bool replacing);

    Registry& registry_;
    TextConversion text_;
};

}  // namespace velmora
