#include "config/ConfigurationDocument.h"

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_map>

#include "config/ConfigurationFields.h"
#include "config/NameRule.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

namespace velmora {

namespace {

using Json = nlohmann::ordered_json;
const std::string kListMember = "configurations";
const std::string kNameMember = "name";
const std::string kStateMember = "state";

// A problem in one configuration; the message names it and the field.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& name, const std::string& field, const std::string& problem) {
    std::string where = name.empty() ? "A configuration" : "Configuration \"" + name + "\"";
    if (!field.empty()) where += ", field \"" + field + "\"";
    throw Refusal{where + ": " + problem + (problem.back() == '.' ? "" : ".")};
}

std::string textMember(const Json& value, const std::string& name, const std::string& field) {
    if (!value.is_string()) refuse(name, field, "expected a text");
    std::string text = value.get<std::string>();
    if (auto problem = textValueProblem(text); !problem.empty()) refuse(name, field, problem);
    return text;
}

// A whole number from the document as the text the record keeps; fractions,
// booleans and texts are refused, not rounded.
std::string numberMember(const Json& value, const std::string& name, const StoredField& field) {
    const std::string digits = value.is_number_integer() ? std::to_string(value.get<long long>()) : "-";
    const std::string problem = field.kind == FieldKind::Check     ? checkValueProblem(digits)
                                : field.kind == FieldKind::Seconds ? secondsValueProblem(digits)
                                                                   : sizeValueProblem(digits);
    if (!problem.empty()) refuse(name, field.name, problem);
    return digits == "0" && field.kind == FieldKind::Size ? std::string() : digits;
}

DecodedEntry decodeOne(const Json& entry, DocumentUse use) {
    if (!entry.is_object()) refuse("", "", "expected an object with a \"name\" and the stored values");
    auto named = entry.find(kNameMember);
    if (named == entry.end()) refuse("", "", "has no \"name\"");
    DecodedEntry decoded;
    Configuration& c = decoded.values;
    c.serviceName = textMember(*named, "", kNameMember);
    const std::string& name = c.serviceName;

    for (auto member = entry.begin(); member != entry.end(); ++member) {
        if (member.key() == kNameMember) continue;
        if (member.key() == kStateMember && use == DocumentUse::Apply) {
            decoded.state = textMember(member.value(), name, kStateMember);
            const auto& states = desiredStates();
            if (std::find(states.begin(), states.end(), decoded.state) == states.end())
                refuse(name, kStateMember, "expected one of absent, stored, installed, running, stopped");
            continue;
        }
        const StoredField* field = storedField(member.key());
        if (!field) refuse(name, member.key(), "unknown field");
        decoded.given.push_back(field->field);
        const Json& value = member.value();
        switch (field->kind) {
            case FieldKind::Text:
            case FieldKind::Jvm:
            case FieldKind::Choice:
            case FieldKind::Account: {
                const std::string text = textMember(value, name, field->name);
                if (auto problem = valueProblem(*field, text); !problem.empty()) refuse(name, field->name, problem);
                setFieldText(c, *field, text);
                break;
            }
            case FieldKind::Size:
            case FieldKind::Seconds:
            case FieldKind::Check: setFieldText(c, *field, numberMember(value, name, *field)); break;
            case FieldKind::Options:
            case FieldKind::List:
            case FieldKind::Variables:
                if (!value.is_array()) refuse(name, field->name, "expected a list of texts");
                (c.*field->list).clear();
                for (const Json& entry : value) {
                    std::string text = textMember(entry, name, field->name);
                    if (text.empty()) refuse(name, field->name, "an entry must not be empty");
                    if (auto problem = valueProblem(*field, text); !problem.empty()) refuse(name, field->name, problem);
                    (c.*field->list).push_back(std::move(text));
                }
                if (auto problem = listProblem(*field, c.*field->list); !problem.empty())
                    refuse(name, field->name, problem);
                break;
        }
    }
    // A name stored before today's rule can still be named for its removal, as delete takes it.
    const std::string problem =
        decoded.state == "absent" ? unusableNameReason(name) : nameRuleViolation(name, c.catalinaHome);
    if (!problem.empty()) refuse(name, kNameMember, problem);
    return decoded;
}

// nlohmann keeps the last of two equal members; a document that says a value
// twice is ambiguous and refused instead. Watches a parse for the first repeat.
class RepeatWatch {
public:
    bool operator()(int, Json::parse_event_t event, Json& parsed) {
        if (event == Json::parse_event_t::object_start) open_.emplace_back();
        if (event == Json::parse_event_t::object_end && !open_.empty()) open_.pop_back();
        if (event == Json::parse_event_t::key && !open_.empty() &&
            !open_.back().insert(parsed.get<std::string>()).second && repeated_.empty())
            repeated_ = parsed.get<std::string>();
        return true;
    }
    const std::string& repeated() const { return repeated_; }

private:
    std::vector<std::set<std::string>> open_;
    std::string repeated_;
};

}  // namespace

DocumentText documentText(const std::string& bytes) {
    auto startsWith = [&](const char* mark, std::size_t length) { return bytes.compare(0, length, mark, length) == 0; };
    if (startsWith("\xEF\xBB\xBF", 3)) return documentText(bytes.substr(3));
    const bool little = startsWith("\xFF\xFE", 2), big = startsWith("\xFE\xFF", 2);
    if (little || big) {
        if (bytes.size() % 2 != 0) return {{}, "The file starts as UTF-16 but has an odd number of bytes."};
        std::u16string units;
        for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
            const auto first = static_cast<unsigned char>(bytes[at]),
                       second = static_cast<unsigned char>(bytes[at + 1]);
            units += static_cast<char16_t>(little ? first | second << 8 : first << 8 | second);
        }
        return {fromUtf16(units), {}};
    }
    if (bytes.size() >= 2 && (bytes[0] == '\0' || bytes[1] == '\0'))
        return {{}, "The file looks like UTF-16 without a byte-order mark; save it as UTF-8, or as UTF-16 with one."};
    if (!isValidUtf8(bytes))
        return {{},
                "The file is neither UTF-8 nor UTF-16 with a byte-order mark (a code page such as Windows-1252?); "
                "save it as UTF-8."};
    return {bytes, {}};
}

std::string encodeConfigurations(const std::vector<Configuration>& configurations) {
    Json list = Json::array();
    for (const Configuration& c : configurations) {
        Json entry = Json::object();
        entry[kNameMember] = c.serviceName;
        for (const StoredField& field : storedFields()) {
            switch (field.kind) {
                case FieldKind::Text:
                case FieldKind::Jvm:
                case FieldKind::Choice:
                case FieldKind::Account: entry[field.name] = fieldText(c, field); break;
                case FieldKind::Size: entry[field.name] = c.*field.size; break;
                case FieldKind::Seconds: entry[field.name] = c.*field.seconds; break;
                case FieldKind::Check: entry[field.name] = c.*field.check ? 1 : 0; break;
                case FieldKind::Options:
                case FieldKind::List:
                case FieldKind::Variables: entry[field.name] = c.*field.list; break;
            }
        }
        list.push_back(std::move(entry));
    }
    Json document = Json::object();
    document[kListMember] = std::move(list);
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

const std::vector<std::string>& desiredStates() {
    static const std::vector<std::string> states = {"absent", "stored", "installed", "running", "stopped"};
    return states;
}

DecodedConfigurations decodeConfigurations(const std::string& document, DocumentUse use) {
    Json parsed;
    RepeatWatch watch;
    try {
        parsed = Json::parse(document, std::ref(watch));
    } catch (const Json::exception& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ...", or a number too
        // large for any value: "[json.exception.out_of_range.406] number overflow parsing '1e400'".
        std::string what = e.what();
        if (auto end = what.find("] "); end != std::string::npos) what = what.substr(end + 2);
        const bool parseError = dynamic_cast<const Json::parse_error*>(&e) != nullptr;
        return {{}, (parseError ? "The file is not well-formed JSON: " : "The file cannot be read: ") + what};
    }
    if (!watch.repeated().empty())
        return {
            {},
            "The file gives the member \"" + watch.repeated() + "\" twice in one object; each may stand only once."};
    if (!parsed.is_object() || parsed.size() != 1 || !parsed.contains(kListMember) || !parsed[kListMember].is_array())
        return {{},
                "The file is not a Velmora export: expected one object with one member, \"configurations\", "
                "a list of configurations."};

    DecodedConfigurations decoded;
    std::unordered_map<std::u16string, std::string> seen;
    try {
        for (const Json& entry : parsed[kListMember]) {
            DecodedEntry one = decodeOne(entry, use);
            const std::string& name = one.values.serviceName;
            if (auto [earlier, added] = seen.emplace(foldedName(name), name); !added)
                refuse(name, "",
                       "the name stands twice in the file (\"" + earlier->second +
                           "\"; names that differ only in case are one configuration)");
            decoded.entries.push_back(std::move(one));
        }
    } catch (const Refusal& refusal) {
        return {{}, refusal.message};
    }
    return decoded;
}

}  // namespace velmora
