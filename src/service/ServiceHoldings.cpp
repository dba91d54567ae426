#include "service/ServiceHoldings.h"

#include <algorithm>
#include <optional>

#include "config/Encodings.h"
#include "config/ServiceAccount.h"
#include "platform/Text.h"
#include "service/JvmOptions.h"
#include "service/ModernWrapper.h"
#include "service/ServiceSettings.h"

namespace velmora {

bool HeldFields::holds(Field field) const { return std::find(held.begin(), held.end(), field) != held.end(); }

void HeldFields::take(Field field, const std::string& value) {
    const StoredField& stored = storedField(field);
    if (std::string problem = valueProblem(stored, value); !problem.empty()) {
        notKept.push_back("The service holds " + visibleText(value) + " as " + stored.label + " (" + stored.name +
                          "), which a configuration cannot keep: " + problem + ".");
        return;
    }
    setFieldText(config, stored, value);
    if (!holds(field)) held.push_back(field);
}

void HeldFields::takeList(Field field, const std::vector<std::string>& entries) {
    const StoredField& stored = storedField(field);
    std::vector<std::string> kept;
    for (const auto& entry : entries) {
        std::string problem = valueProblem(stored, entry);
        if (problem.empty() && stored.kind == FieldKind::Variables) problem = variableProblem(entry);
        if (problem.empty())
            kept.push_back(entry);
        else
            notKept.push_back("The service holds " + visibleText(entry) + " in " + stored.label + " (" + stored.name +
                              "), which a configuration cannot keep: " + problem + ".");
    }
    if (std::string problem = listProblem(stored, kept); !problem.empty()) {
        notKept.push_back(std::string("The service's ") + stored.label + " (" + stored.name +
                          ") cannot be kept: " + problem + ".");
        return;
    }
    config.*stored.list = std::move(kept);
    if (!holds(field)) held.push_back(field);
}

std::vector<HeldValue> heldValuesBelow(Registry& registry, const std::string& key, RegistryView view) {
    std::vector<HeldValue> values;
    std::vector<std::string> places = {""};
    for (std::size_t at = 0; at < places.size(); ++at) {
        const std::string place = places[at];
        const auto found = registry.readKeyInView(kLocalMachine, place.empty() ? key : key + "\\" + place, view);
        if (!found) continue;
        const std::string prefix = place.empty() ? "" : place + "\\";
        for (const auto& [name, value] : found->values) values.push_back({prefix + name, value});
        for (const auto& subkey : found->subkeyNames) places.push_back(prefix + subkey);
    }
    return values;
}

const RegistryValue* heldValue(const std::vector<HeldValue>& values, const std::string& place) {
    const auto found =
        std::find_if(values.begin(), values.end(), [&](const HeldValue& v) { return sameName(v.place, place); });
    return found == values.end() ? nullptr : &found->value;
}

std::vector<std::string> heldList(const RegistryValue* value) {
    if (!value) return {};
    if (value->type == kRegMultiSz) return splitList(value->text);
    const std::string text = heldText(value);
    return text.empty() ? std::vector<std::string>() : std::vector<std::string>{text};
}

std::string heldText(const RegistryValue* value) {
    if (!value) return {};
    switch (value->type) {
        case kRegDword: return value->number ? std::to_string(value->number) : std::string();
        case kRegMultiSz: return joinWrapperList(splitList(value->text));
        case kRegSz:
        case kRegExpandSz: return value->text.substr(0, value->text.find('\0'));
        default: return "(data of type " + std::to_string(value->type) + ")";
    }
}

namespace {

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && sameName(text.substr(text.size() - end.size()), end);
}

// The number of an option such as -Xmx512m: digits between the prefix and the unit, or nothing.
std::optional<std::string> sizeIn(const std::string& option, const std::string& prefix, char unit) {
    if (option.size() <= prefix.size() + 1 || option.compare(0, prefix.size(), prefix) != 0 || option.back() != unit)
        return std::nullopt;
    const std::string digits = option.substr(prefix.size(), option.size() - prefix.size() - 1);
    if (digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return digits;
}

}  // namespace

void takeJvmLibrary(HeldFields& held, const std::string& library) {
    for (JvmType type : {JvmType::Server, JvmType::Client})
        for (const char* folder : {"\\jre\\bin\\", "\\bin\\"}) {
            const std::string end = folder + std::string(jvmTypeName(type)) + "\\jvm.dll";
            if (!endsWith(library, end)) continue;
            held.take(Field::JavaHome, library.substr(0, library.size() - end.size()));
            held.take(Field::JvmType, jvmTypeName(type));
            return;
        }
    held.notKept.push_back("The service loads the JVM library " + visibleText(library) +
                           ", which is not a JDK's bin\\server, bin\\client, jre\\bin\\server or jre\\bin\\client "
                           "jvm.dll: Java Home and JVM are not taken from it.");
}

void takeJvmOptions(HeldFields& held, const std::vector<std::string>& options, const std::vector<std::string>& fixed,
                    bool withSizes) {
    struct Valued {
        const char* prefix;
        Field field;
    };
    static const Valued kValued[] = {{"-Dcatalina.base=", Field::CatalinaBase},
                                     {"-Djava.io.tmpdir=", Field::TempDirectory},
                                     {"-Djava.class.path=", Field::ClassPath}};
    struct Sized {
        const char* prefix;
        char unit;
        Field field;
    };
    static const Sized kSized[] = {{"-Xms", 'm', Field::InitialHeapSize},
                                   {"-Xmx", 'm', Field::MaxHeapSize},
                                   {"-Xss", 'k', Field::ThreadStackSize}};
    const auto startsWith = [](const std::string& option, const std::string& prefix) {
        return option.rfind(prefix, 0) == 0;
    };
    // The first of each counts; a second one stays an option of its own, where the JVM gets it too.
    const auto first = [&](Field field) { return !held.holds(field); };
    // Velmora's own options and the paths first; what follows are the flags, the sizes and the additional options.
    std::vector<std::string> rest;
    for (const auto& option : options) {
        const auto is = [&](const std::string& prefix) { return startsWith(option, prefix); };
        if (std::any_of(fixed.begin(), fixed.end(), is)) continue;
        const auto valued = std::find_if(std::begin(kValued), std::end(kValued), [&](const Valued& v) {
            return is(v.prefix) && first(v.field) && (v.field != Field::ClassPath || withSizes);
        });
        if (valued != std::end(kValued))
            held.take(valued->field, option.substr(std::string(valued->prefix).size()));
        else
            rest.push_back(option);
    }
    // Just what Velmora gives for the configuration read onto: its values, even where an additional option
    // looks like a flag's (-Xrs among them).
    if (rest == conditionalJvmOptions(held.config, withSizes)) {
        const Configuration given = held.config;
        held.take(Field::UseSecurityManager, given.useSecurityManager ? "1" : "0");
        if (given.useSecurityManager) held.take(Field::SecurityPolicyFile, given.securityPolicyFile);
        held.take(Field::ReduceOsSignals, given.reduceOsSignals ? "1" : "0");
        if (withSizes)
            for (const Sized& sized : kSized) held.take(sized.field, fieldText(given, storedField(sized.field)));
        held.takeList(Field::AdditionalOptions, given.additionalJvmOptions);
        return;
    }
    std::vector<std::string> additional;
    bool securityManager = false, reduceSignals = false;
    for (const auto& option : rest) {
        if (option == "-Djava.security.manager" && !securityManager) {
            securityManager = true;
            continue;
        }
        if (option == "-Xrs" && !reduceSignals) {
            reduceSignals = true;
            continue;
        }
        const std::string policy = "-Djava.security.policy=";
        if (startsWith(option, policy) && first(Field::SecurityPolicyFile)) {
            held.take(Field::SecurityPolicyFile, option.substr(policy.size()));
            continue;
        }
        const auto sized = std::find_if(std::begin(kSized), std::end(kSized), [&](const Sized& s) {
            return withSizes && first(s.field) && sizeIn(option, s.prefix, s.unit);
        });
        if (sized != std::end(kSized)) {
            held.take(sized->field, *sizeIn(option, sized->prefix, sized->unit));
            continue;
        }
        additional.push_back(option);
    }
    held.take(Field::UseSecurityManager, securityManager ? "1" : "0");
    held.take(Field::ReduceOsSignals, reduceSignals ? "1" : "0");
    if (withSizes)
        for (const Sized& sized : kSized)
            if (!held.holds(sized.field)) held.take(sized.field, "");
    held.takeList(Field::AdditionalOptions, additional);
}

void takeLogFolder(HeldFields& held, Field field, const std::string& file, const std::string& logFolder) {
    if (sameName(file, "auto")) return held.take(field, logFolder);
    const auto slash = file.find_last_of('\\');
    if (slash != std::string::npos && slash > 0) held.take(field, file.substr(0, slash));
}

void takeManagerFields(HeldFields& held, const ServiceConfiguration& manager) {
    const char* startup = manager.startType == StartType::Disabled ? "disabled"
                          : manager.startType == StartType::Manual ? "manual"
                          : manager.delayedStart                   ? "delayed"
                                                                   : "auto";
    held.take(Field::StartupType, startup);
    held.take(Field::ServiceAccount, storedAccountSpelling(manager.account, held.config.serviceName));
    held.takeList(Field::Dependencies, manager.dependencies);
    // A restart after so many seconds, or nothing; the last action stands for every later failure.
    const auto& actions = manager.failureActions;
    const Field recovery[] = {Field::RecoveryFirst, Field::RecoverySecond, Field::RecoveryLater};
    for (std::size_t i = 0; i < 3; ++i)
        held.take(recovery[i], i < actions.size() && actions[i].restart
                                   ? std::to_string(actions[i].delayMs / 1000 + (actions[i].delayMs % 1000 ? 1 : 0))
                                   : std::string("0"));
    if (actions.size() > 3)
        held.notKept.push_back("The service manager holds " + std::to_string(actions.size()) +
                               " actions after a failure; a configuration keeps the first three.");
    held.take(Field::RecoveryReset, std::to_string(manager.resetPeriodSeconds));
    held.take(Field::RecoveryOnErrorExit, manager.failureActionsOnNonCrash ? "1" : "0");
    held.take(Field::DisplayName, manager.displayName == held.config.serviceName ? "" : manager.displayName);
    held.take(Field::Description, manager.description);
}

std::string wrapperValueNotKept(const std::string& place, const std::string& held, const std::string& given) {
    const auto shown = [](const std::string& text) { return text.empty() ? "nothing" : visibleText(text); };
    // A list Velmora writes in an order of its own: the same entries are no other value, but the JVM reads them in
    // order.
    const auto entries = [](const std::string& list) {
        std::vector<std::string> split;
        for (std::size_t at = 0; at <= list.size();) {
            const auto end = std::min(list.find('#', at), list.size());
            split.push_back(list.substr(at, end - at));
            at = end + 1;
        }
        std::sort(split.begin(), split.end());
        return split;
    };
    if (held.find('#') != std::string::npos && entries(held) == entries(given))
        return "The wrapper keeps the entries of " + place + " in another order (" + visibleText(held) +
               "): Velmora gives them in its own (" + visibleText(given) + ") when it sets that value.";
    return "The wrapper keeps " + shown(held) + " as " + place +
           ", which the configuration cannot keep: Velmora gives " + shown(given) + " when it sets that value.";
}

std::string wrapperValueUnknown(const std::string& place, const std::string& held) {
    return "The wrapper keeps " + visibleText(held) + " as " + place +
           ", which is no value of a configuration: Velmora neither reads nor sets it.";
}

std::vector<const StoredField*> driftedFields(const Configuration& stored, const HeldFields& held, bool withSettings) {
    Configuration service = stored;
    for (const StoredField& field : storedFields()) {
        if (!held.holds(field.field) || (!withSettings && isServiceSetting(field.field))) continue;
        // A display name given as the service's own is the one the service shows without any.
        if (field.field == Field::DisplayName && shownDisplayName(stored) == shownDisplayName(held.config)) continue;
        if (field.list)
            service.*field.list = held.config.*field.list;
        else if (!sameName(fieldText(stored, field), fieldText(held.config, field)) || field.kind != FieldKind::Account)
            setFieldText(service, field, fieldText(held.config, field));
    }
    return differingFields(stored, service);
}

}  // namespace velmora
