#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// What a stored value holds, and so which values it takes.
enum class FieldKind {
    Text,     // REG_SZ
    Check,    // check-box state, 0 or 1
    Size,     // MB or KB, 1..32767; 0 or "" is no size
    Jvm,      // "server" or "client"
    Options,  // REG_MULTI_SZ, one option per entry
};

// One value of a stored configuration, by its name in the store.
struct StoredField {
    const std::string& name;
    FieldKind kind;
    std::string Configuration::*text = nullptr;   // Text, Size, Jvm
    std::int16_t Configuration::*check = nullptr;  // Check
};

// Every value a configuration is stored with, in the order a save writes
// them; the installed flag is the service's state and not among them.
const std::vector<StoredField>& storedFields();
const StoredField* storedField(const std::string& name);

constexpr int kLargestSize = 32767;

// Why a value cannot be stored in a field of that kind; empty when it can.
// Sizes are whole numbers 0..32767 (0 or empty: none), check boxes 0 or 1.
std::string sizeValueProblem(const std::string& text);
std::string checkValueProblem(const std::string& text);
std::string jvmValueProblem(const std::string& text);
// A registry text ends at its first NUL, so none may hold one.
std::string textValueProblem(const std::string& text);

}  // namespace velmora
