#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/ConfigurationFields.h"

namespace velmora {

// The export document: {"configurations": [{"name": ..., <store value
// names>: ...}, ...]}, values in the order a save writes them, sizes as
// numbers (0: none), check boxes 0 or 1, the options as a list. UTF-8.
std::string encodeConfigurations(const std::vector<Configuration>& configurations);

// One entry of a document: its values and which fields it gave (a field it
// leaves out keeps the value of a new configuration).
struct DecodedEntry {
    Configuration values;
    std::vector<Field> given;
    std::string state;  // apply's desired state, as the entry's "state" gives it; empty when none
};

// The states an apply document may ask for: not stored, stored (the service
// as it is), installed, installed and running, installed and stopped.
const std::vector<std::string>& desiredStates();

struct DecodedConfigurations {
    std::vector<DecodedEntry> entries;
    std::string error;  // empty when the whole document is good
};

// The document's text as UTF-8 from the bytes of a file: UTF-8 with or
// without a byte-order mark, or UTF-16 (LE or BE) with one, as Windows
// PowerShell's redirection writes it. Any other encoding is named in the error.
struct DocumentText {
    std::string text;
    std::string error;
};
DocumentText documentText(const std::string& bytes);

// Reads a whole document and checks every configuration in it: the name
// rule, known fields only, each value of its kind and range, no member and
// no name twice. The first problem found is the error; nothing is kept then.
// An apply document may also give each configuration a "state"; an export never does.
enum class DocumentUse { Import, Apply };
DecodedConfigurations decodeConfigurations(const std::string& document, DocumentUse use = DocumentUse::Import);

}  // namespace velmora
