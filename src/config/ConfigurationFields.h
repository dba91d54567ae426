#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config/Configuration.h"

namespace velmora {

// Every value of a configuration a user can set, by meaning.
enum class Field {
    ServiceName,
    Description,
    CatalinaHome,
    CatalinaBase,
    TomcatConfigFile,
    UseSecurityManager,
    SecurityPolicyFile,
    JavaHome,
    TempDirectory,
    SystemOut,
    SystemErr,
    InitialHeapSize,
    MaxHeapSize,
    ThreadStackSize,
    ReduceOsSignals,
    JvmType,
    ClassPath,
    AdditionalOptions,
    StartupType,
    ServiceAccount,
    Dependencies,
    StopTimeout,
    RecoveryFirst,
    RecoverySecond,
    RecoveryLater,
    RecoveryReset,
    RecoveryOnErrorExit,
    DisplayName,
    Environment,
    ReadyUrl,
    StartTimeout,
    LogsKeepDays,
    LogsMaxMb,
};

// What a stored value holds, and so which values it takes.
enum class FieldKind {
    Text,       // REG_SZ
    Check,      // a check box, 0 or 1
    Size,       // MB or KB, 1..32767; 0 or "" is no size
    Jvm,        // "server" or "client"
    Options,    // REG_MULTI_SZ, one option per entry, in the order given
    Choice,     // REG_SZ, the start-up type's word
    Account,    // REG_SZ, a service account
    List,       // REG_MULTI_SZ, in the order given
    Variables,  // REG_MULTI_SZ, NAME=VALUE entries, each name once
    Seconds,    // REG_DWORD, a whole number of seconds
};

// One value of a stored configuration: its name in the store (and in an
// export and on the command line), its kind and where the record keeps it
// (the member of its kind; Jvm and Choice are the record's two enumerations).
struct StoredField {
    Field field;
    const std::string& name;
    const char* label;  // as the window names it, for messages
    FieldKind kind;
    int loadRank = 0;  // the order a load hands values to the setters
    // Stored configurations from before the field load its default, not an empty value.
    bool defaultWhenAbsent = false;
    std::string Configuration::*text = nullptr;               // Text, Account
    bool Configuration::*check = nullptr;                     // Check
    std::uint16_t Configuration::*size = nullptr;             // Size
    std::uint32_t Configuration::*seconds = nullptr;          // Seconds
    std::vector<std::string> Configuration::*list = nullptr;  // Options, List
    // A rule of this field's own beyond its kind's: why a value is refused, empty when taken.
    std::string (*rule)(const std::string& value) = nullptr;
    // False for what only Velmora reads (when a start counts as done): a
    // change of it leaves the installed service as it is.
    bool reachesService = true;
};

// Every stored value in the order a save writes them; the name is the key's
// and the installed state is the service's, so neither is among them.
const std::vector<StoredField>& storedFields();
// The start-up types a service may have.
const std::vector<std::string>& startupTypes();
const StoredField* storedField(const std::string& name);
const StoredField& storedField(Field field);
// The same fields in the order a load sets them, so that a new home or base
// has moved the paths below it before those are set themselves.
std::vector<const StoredField*> fieldsInLoadOrder();

// The stored values in which two configurations differ, in save order.
std::vector<const StoredField*> differingFields(const Configuration& a, const Configuration& b);
// The fields' store names as messages list them: "max.heap.size, service.startup".
std::string fieldNames(const std::vector<const StoredField*>& fields);

// A field's value as text, the way a box shows it and `show` and the report
// print it: a check box 0 or 1, no size as "", a list's entries apart by blanks.
std::string fieldText(const Configuration& c, const StoredField& field);
// The field as FIELD = VALUE lines, a list one line per entry (none for no entries).
std::vector<std::string> fieldLines(const Configuration& c, const StoredField& field);
// Takes a value as such a text gives it (a list: one more entry); the value
// must have passed valueProblem.
void setFieldText(Configuration& c, const StoredField& field, const std::string& text);

constexpr int kLargestSize = 32767;

// Why a value cannot be stored in a field of that kind; empty when it can.
std::string sizeValueProblem(const std::string& text);  // whole numbers 0..32767; 0 or empty: none
std::string checkValueProblem(const std::string& text);
std::string jvmValueProblem(const std::string& text);
std::string textValueProblem(const std::string& text);  // no control characters, NUL among them
std::string secondsValueProblem(const std::string& text);
std::string accountValueProblem(const std::string& text);
std::string serviceNameListProblem(const std::string& name);
std::string variableProblem(const std::string& entry);  // NAME=VALUE
// A folder every other path is found from (a home, the base, the JDK): empty, or a whole path.
std::string rootFolderProblem(const std::string& text);
// Why a list cannot be kept as a whole (a variable named twice); empty when it can.
std::string listProblem(const StoredField& field, const std::vector<std::string>& entries);
std::string valueProblem(const StoredField& field, const std::string& value);

}  // namespace velmora
