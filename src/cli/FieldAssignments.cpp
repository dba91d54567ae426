#include "cli/FieldAssignments.h"

#include <algorithm>

#include "app/Session.h"
#include "config/StoreLayout.h"

namespace velmora::cli {

ParsedAssignments parseAssignments(const std::vector<std::string>& pairs) {
    ParsedAssignments parsed;
    for (const auto& pair : pairs) {
        const auto equals = pair.find('=');
        const std::string name = pair.substr(0, equals);
        std::string value = pair.substr(equals + 1);
        if (name == store::kInstalled) return {{}, "\"" + name + "\" is the service's state: use install or uninstall."};
        const StoredField* field = storedField(name);
        if (!field) return {{}, "unknown field \"" + name + "\"; velmora-cli set --help lists the fields."};
        if (field->kind == FieldKind::Size && value == "0") value.clear();
        if (auto problem = valueProblem(*field, value); !problem.empty())
            return {{}, "field \"" + name + "\": " + problem + "."};
        parsed.assignments.push_back({field, std::move(value)});
    }
    std::stable_sort(parsed.assignments.begin(), parsed.assignments.end(),
                     [](const Assignment& a, const Assignment& b) { return a.field->loadRank < b.field->loadRank; });
    return parsed;
}

void applyAssignments(const std::vector<Assignment>& assignments, Session& session) {
    std::vector<std::string> options;
    bool optionsGiven = false;
    for (const auto& [field, value] : assignments) {
        if (field->kind != FieldKind::Options) {
            session.edit(field->field, value);
            continue;
        }
        if (!value.empty()) options.push_back(value);
        optionsGiven = true;
    }
    if (optionsGiven) session.replaceOptions(options);
}

}  // namespace velmora::cli
