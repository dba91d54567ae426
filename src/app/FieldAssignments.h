#pragma once
#include <string>
#include <vector>

#include "app/Outcome.h"
#include "config/ConfigurationFields.h"

namespace velmora {

class Editing;

// FIELD=VALUE from the command line, the field named as in the store.
struct Assignment {
    const StoredField* field;
    std::string value;
};

struct ParsedAssignments {
    std::vector<Assignment> assignments;  // in the order a load sets the fields
    std::string error;
};

// Unknown fields and values the store cannot keep are refused here, before
// anything is set.
ParsedAssignments parseAssignments(const std::vector<std::string>& pairs);

// Hands each value to its setter, as the window's boxes do; the options
// given replace the list (an empty one clears it). The outcome is the worst
// of them (refused before declined before done) with every warning.
Outcome applyAssignments(const std::vector<Assignment>& assignments, Editing& editing);

}  // namespace velmora
