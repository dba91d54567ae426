#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// Texts live in the ANSI code page; a JSON document holds UTF-8.
struct TextConversion {
    std::function<std::string(const std::string&)> toUtf8;
    // Empty when the text holds a character the code page cannot carry.
    std::function<std::optional<std::string>(const std::string&)> fromUtf8;
};
// For systems whose texts are UTF-8 already.
TextConversion unchangedText();

// The export document: {"configurations": [{"name": ..., <store value
// names>: ...}, ...]}, values in the order a save writes them, sizes as
// numbers (0: none), check boxes 0 or 1, the options as a list.
std::string encodeConfigurations(const std::vector<Configuration>& configurations, const TextConversion& text);

struct DecodedConfigurations {
    std::vector<Configuration> configurations;
    std::string error;  // empty when the whole document is good
};

// Reads a whole document and checks every configuration in it: the name
// rule, known fields only, each value of its kind and range, no name twice.
// The first problem found is the error; the configurations are then empty.
DecodedConfigurations decodeConfigurations(const std::string& document, const TextConversion& text);

}  // namespace velmora
