#include "app/FieldAssignments.h"

#include <algorithm>
#include <map>

#include "app/Editing.h"
#include "config/StoreLayout.h"

namespace velmora {

ParsedAssignments parseAssignments(const std::vector<std::string>& pairs) {
    ParsedAssignments parsed;
    for (const auto& pair : pairs) {
        const auto equals = pair.find('=');
        const std::string name = pair.substr(0, equals);
        std::string value = pair.substr(equals + 1);
        if (name == store::kInstalled)
            return {{}, "\"" + name + "\" is the service's state: use install or uninstall."};
        const StoredField* field = storedField(name);
        if (!field) return {{}, "unknown field \"" + name + "\"; velmora-cli set --help lists the fields."};
        // Only a list takes a field again; a second value of another would silently win.
        if (!field->list && std::any_of(parsed.assignments.begin(), parsed.assignments.end(),
                                        [&](const Assignment& given) { return given.field == field; }))
            return {{}, "field \"" + name + "\" is given twice."};
        if (field->kind == FieldKind::Size && value == "0") value.clear();
        if (auto problem = valueProblem(*field, value); !problem.empty())
            return {{}, "field \"" + name + "\": " + problem + "."};
        parsed.assignments.push_back({field, std::move(value)});
    }
    std::stable_sort(parsed.assignments.begin(), parsed.assignments.end(),
                     [](const Assignment& a, const Assignment& b) { return a.field->loadRank < b.field->loadRank; });
    return parsed;
}

namespace {
int severity(Outcome::Result result) {
    switch (result) {
        case Outcome::Result::Refused: return 2;
        case Outcome::Result::Declined: return 1;
        default: return 0;
    }
}

// Two setters may check the same value (a new home and a new JDK each check the class path): said once.
void merge(Outcome& all, const Outcome& one) {
    for (const auto& warning : one.warnings)
        if (std::find(all.warnings.begin(), all.warnings.end(), warning) == all.warnings.end())
            all.warnings.push_back(warning);
    if (severity(one.result) > severity(all.result)) {
        all.result = one.result;
        all.summary = one.summary;
    }
}
}  // namespace

Outcome applyAssignments(const std::vector<Assignment>& assignments, Editing& editing) {
    Outcome all;
    std::map<Field, std::vector<std::string>> lists;
    for (const auto& [field, value] : assignments) {
        if (!field->list) {
            merge(all, editing.edit(field->field, value));
            continue;
        }
        auto& entries = lists[field->field];
        if (!value.empty()) entries.push_back(value);
    }
    for (const auto& [field, entries] : lists) merge(all, editing.replaceList(field, entries));
    return all;
}

}  // namespace velmora
