#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/ConfigurationFields.h"
#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/Services.h"

namespace velmora {

// One value a service wrapper keeps, by where it keeps it below its own key
// ("Java\Options", "JVM Library").
struct HeldValue {
    std::string place;
    RegistryValue value;
};

// What a service really holds: the service manager's record of it and what
// its wrapper keeps, as they keep them.
struct ServiceHoldings {
    ServiceConfiguration manager;
    std::vector<HeldValue> wrapper;
};

// Those holdings said in the fields of a configuration.
struct HeldFields {
    Configuration config;              // the held values, over the configuration they were read onto
    std::vector<Field> held;           // the fields the service holds a value of
    std::vector<std::string> notKept;  // what it holds that no field can keep, a sentence each

    bool holds(Field field) const;
    // A value into its field when the field's rule takes it; otherwise it is named in notKept.
    void take(Field field, const std::string& value);
    void takeList(Field field, const std::vector<std::string>& entries);
};

// Every value of a key and of the keys below it, in a view of the registry.
std::vector<HeldValue> heldValuesBelow(Registry& registry, const std::string& key, RegistryView view);
const RegistryValue* heldValue(const std::vector<HeldValue>& values, const std::string& place);
// A held value as an option of the wrapper gives it: a text up to its NUL, a
// list joined as the wrapper's lists are, a number in decimal (0 as nothing).
std::string heldText(const RegistryValue* value);
std::vector<std::string> heldList(const RegistryValue* value);

// The Java home and JVM type a JDK's bin\<type>\jvm.dll or jre\bin\<type>\jvm.dll stands for.
void takeJvmLibrary(HeldFields& held, const std::string& library);
// The JVM options of a wrapper: the -D options Velmora gives from fields and
// its flags to those fields, and the sizes and the class path too where the
// wrapper takes them as options (withSizes); `fixed` are the prefixes of the
// options Velmora gives of itself, which no field keeps; every other option
// goes to the additional options, in its order.
void takeJvmOptions(HeldFields& held, const std::vector<std::string>& options, const std::vector<std::string>& fixed,
                    bool withSizes);
// The folder of a System.out or System.err file; "auto" is the wrapper's log folder.
void takeLogFolder(HeldFields& held, Field field, const std::string& file, const std::string& logFolder);
// The service manager's part: start-up type, account, dependencies,
// recovery, display name and description.
void takeManagerFields(HeldFields& held, const ServiceConfiguration& manager);

// What a value the wrapper keeps otherwise than this configuration would give it means.
std::string wrapperValueNotKept(const std::string& place, const std::string& held, const std::string& given);
std::string wrapperValueUnknown(const std::string& place, const std::string& held);

// The stored fields in which the service holds another value; the service
// manager's settings only when they are compared (the service manager took
// every one of them when they were last set).
std::vector<const StoredField*> driftedFields(const Configuration& stored, const HeldFields& held, bool withSettings);

}  // namespace velmora
