#include "cli/FieldAssignments.h"

#include <algorithm>
#include <map>

#include "config/DoConfig.h"
#include "config/StoreLayout.h"

namespace velmora::cli {

namespace {

using TextSetter = void (DoConfig::*)(const std::string&);

// The order in which a load sets the fields, so that a changed home or base
// moves the paths that follow it before they are set themselves.
const std::vector<std::string>& loadOrder() {
    static const std::vector<std::string> order = {
        store::kCatalinaHome,  store::kCatalinaBase,    store::kSystemOut,          store::kSystemErr,
        store::kTomcatConfig,  store::kDescription,     store::kSecurityManager,    store::kSecurityPolicy,
        store::kJvm,           store::kJavaHome,        store::kClassPath,          store::kTempDirectory,
        store::kAdditionalOptions, store::kInitialHeap, store::kMaxHeap,            store::kThreadStack,
        store::kReduceOsSignals,
    };
    return order;
}

const std::map<std::string, TextSetter>& textSetters() {
    static const std::map<std::string, TextSetter> setters = {
        {store::kCatalinaHome, &DoConfig::setCatalinaHome},     {store::kCatalinaBase, &DoConfig::setCatalinaBase},
        {store::kSystemOut, &DoConfig::setSystemOut},           {store::kSystemErr, &DoConfig::setSystemErr},
        {store::kTomcatConfig, &DoConfig::setTomcatConfigFile}, {store::kDescription, &DoConfig::setDescription},
        {store::kSecurityPolicy, &DoConfig::setSecurityPolicyFile}, {store::kJavaHome, &DoConfig::setJavaHome},
        {store::kClassPath, &DoConfig::setClassPath},           {store::kTempDirectory, &DoConfig::setTempDirectory},
        {store::kInitialHeap, &DoConfig::setInitialHeapSize},   {store::kMaxHeap, &DoConfig::setMaxHeapSize},
        {store::kThreadStack, &DoConfig::setThreadStackSize},
    };
    return setters;
}

std::size_t rank(const Assignment& a) {
    const auto& order = loadOrder();
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), a.field->name) - order.begin());
}

std::string valueProblem(const StoredField& field, const std::string& value) {
    switch (field.kind) {
        case FieldKind::Size: return sizeValueProblem(value == "0" ? "" : value);
        case FieldKind::Check: return checkValueProblem(value);
        case FieldKind::Jvm: return jvmValueProblem(value);
        default: return textValueProblem(value);
    }
}

}  // namespace

ParsedAssignments parseAssignments(const std::vector<std::string>& pairs) {
    ParsedAssignments parsed;
    for (const auto& pair : pairs) {
        const auto equals = pair.find('=');
        const std::string name = pair.substr(0, equals);
        const std::string value = pair.substr(equals + 1);
        if (name == store::kInstalled) return {{}, "\"" + name + "\" is the service's state: use install or uninstall."};
        const StoredField* field = storedField(name);
        if (!field) return {{}, "unknown field \"" + name + "\"; velmora-cli set --help lists the fields."};
        if (auto problem = valueProblem(*field, value); !problem.empty())
            return {{}, "field \"" + name + "\": " + problem + "."};
        parsed.assignments.push_back({field, value == "0" && field->kind == FieldKind::Size ? "" : value});
    }
    std::stable_sort(parsed.assignments.begin(), parsed.assignments.end(),
                     [](const Assignment& a, const Assignment& b) { return rank(a) < rank(b); });
    return parsed;
}

void applyAssignments(const std::vector<Assignment>& assignments, DoConfig& config, WindowSurface& surface) {
    bool optionsCleared = false;
    for (const auto& [field, value] : assignments) {
        const std::string& name = field->name;
        if (auto setter = textSetters().find(name); setter != textSetters().end()) {
            (config.*setter->second)(value);
        } else if (name == store::kSecurityManager) {
            config.setUseSecurityManager(static_cast<std::int16_t>(value == "1"));
        } else if (name == store::kReduceOsSignals) {
            config.setReduceOsSignals(static_cast<std::int16_t>(value == "1"));
        } else if (name == store::kJvm) {
            config.setJvmType(value == "server");
            surface.selectJvmOption(value == "server");
        } else if (name == store::kAdditionalOptions) {
            if (!optionsCleared) surface.clearList1();
            optionsCleared = true;
            if (!value.empty()) surface.addToList1(value);
        }
    }
}

}  // namespace velmora::cli
