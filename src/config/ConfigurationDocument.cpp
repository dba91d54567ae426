#include "config/ConfigurationDocument.h"

#include <nlohmann/json.hpp>

#include "config/ConfigurationFields.h"
#include "config/ConfigurationList.h"
#include "config/NameRule.h"
#include "config/StoreLayout.h"

namespace velmora {

namespace {

using Json = nlohmann::ordered_json;
const std::string kListMember = "configurations";
const std::string kNameMember = "name";

int sizeNumber(const std::string& text) { return text.empty() ? 0 : std::stoi(text); }

// A problem in one configuration; the message names it and the field.
struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& name, const std::string& field, const std::string& problem) {
    std::string where = name.empty() ? "A configuration" : "Configuration \"" + name + "\"";
    if (!field.empty()) where += ", field \"" + field + "\"";
    throw Refusal{where + ": " + problem + (problem.back() == '.' ? "" : ".")};
}

std::string ansi(const TextConversion& text, const std::string& utf8, const std::string& name,
                 const std::string& field) {
    auto converted = text.fromUtf8(utf8);
    if (!converted) refuse(name, field, "holds a character that this system's code page cannot carry");
    if (auto problem = textValueProblem(*converted); !problem.empty()) refuse(name, field, problem);
    return *converted;
}

std::string textMember(const Json& value, const TextConversion& text, const std::string& name,
                       const std::string& field) {
    if (!value.is_string()) refuse(name, field, "expected a text");
    return ansi(text, value.get<std::string>(), name, field);
}

// A whole number from the document as the text the record keeps; fractions,
// booleans and texts are refused, not rounded.
std::string numberMember(const Json& value, const std::string& name, const StoredField& field) {
    const bool whole = value.is_number_integer();
    const std::string digits = whole ? std::to_string(value.get<long long>()) : "-";
    if (field.kind == FieldKind::Check) {
        if (auto problem = checkValueProblem(digits); !problem.empty()) refuse(name, field.name, problem);
        return digits;
    }
    if (auto problem = sizeValueProblem(digits); !problem.empty()) refuse(name, field.name, problem);
    return digits == "0" ? std::string() : digits;
}

Configuration decodeOne(const Json& entry, const TextConversion& text) {
    if (!entry.is_object()) refuse("", "", "expected an object with a \"name\" and the stored values");
    auto named = entry.find(kNameMember);
    if (named == entry.end()) refuse("", "", "has no \"name\"");
    Configuration c;
    c.jvmType = "client";  // what a store without "jvm" loads as
    c.serviceName = textMember(*named, text, "", kNameMember);
    const std::string& name = c.serviceName;

    for (auto member = entry.begin(); member != entry.end(); ++member) {
        if (member.key() == kNameMember) continue;
        const StoredField* field = storedField(member.key());
        if (!field) refuse(name, member.key(), "unknown field");
        const Json& value = member.value();
        switch (field->kind) {
            case FieldKind::Text: c.*field->text = textMember(value, text, name, field->name); break;
            case FieldKind::Jvm:
                c.jvmType = textMember(value, text, name, field->name);
                if (auto problem = jvmValueProblem(c.jvmType); !problem.empty()) refuse(name, field->name, problem);
                break;
            case FieldKind::Size: c.*field->text = numberMember(value, name, *field); break;
            case FieldKind::Check:
                c.*field->check = static_cast<std::int16_t>(std::stoi(numberMember(value, name, *field)));
                break;
            case FieldKind::Options:
                if (!value.is_array()) refuse(name, field->name, "expected a list of texts");
                for (const Json& option : value) {
                    std::string o = textMember(option, text, name, field->name);
                    if (o.empty()) refuse(name, field->name, "an option must not be empty");
                    c.additionalJvmOptions.push_back(std::move(o));
                }
                break;
        }
    }
    if (auto problem = nameRuleViolation(name, c.catalinaHome); !problem.empty()) refuse(name, kNameMember, problem);
    return c;
}

}  // namespace

TextConversion unchangedText() {
    return {[](const std::string& t) { return t; }, [](const std::string& t) { return std::optional<std::string>(t); }};
}

std::string encodeConfigurations(const std::vector<Configuration>& configurations, const TextConversion& text) {
    Json list = Json::array();
    for (const Configuration& c : configurations) {
        Json entry = Json::object();
        entry[kNameMember] = text.toUtf8(c.serviceName);
        for (const StoredField& field : storedFields()) {
            switch (field.kind) {
                case FieldKind::Text:
                case FieldKind::Jvm: entry[field.name] = text.toUtf8(c.*field.text); break;
                case FieldKind::Size: entry[field.name] = sizeNumber(c.*field.text); break;
                case FieldKind::Check: entry[field.name] = c.*field.check; break;
                case FieldKind::Options: {
                    Json options = Json::array();
                    for (const auto& option : c.additionalJvmOptions)
                        if (!option.empty()) options.push_back(text.toUtf8(option));
                    entry[field.name] = options;
                    break;
                }
            }
        }
        list.push_back(std::move(entry));
    }
    Json document = Json::object();
    document[kListMember] = std::move(list);
    return document.dump(2) + "\n";
}

DecodedConfigurations decodeConfigurations(const std::string& document, const TextConversion& text) {
    Json parsed;
    try {
        parsed = Json::parse(document);
    } catch (const Json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..."
        std::string what = e.what();
        if (auto end = what.find("] "); end != std::string::npos) what = what.substr(end + 2);
        return {{}, "The file is not well-formed JSON: " + what};
    }
    if (!parsed.is_object() || parsed.size() != 1 || !parsed.contains(kListMember) || !parsed[kListMember].is_array())
        return {{}, "The file is not a Velmora export: expected one object with one member, \"configurations\", "
                    "a list of configurations."};

    DecodedConfigurations decoded;
    try {
        for (const Json& entry : parsed[kListMember]) {
            Configuration c = decodeOne(entry, text);
            for (const Configuration& earlier : decoded.configurations)
                if (sameConfigurationName(earlier.serviceName, c.serviceName))
                    refuse(c.serviceName, "",
                           "the name stands twice in the file (\"" + earlier.serviceName +
                               "\"; names that differ only in case are one configuration)");
            decoded.configurations.push_back(std::move(c));
        }
    } catch (const Refusal& refusal) {
        return {{}, refusal.message};
    }
    return decoded;
}

}  // namespace velmora
