#include "config/ConfigurationFields.h"

#include <algorithm>

#include "config/LocalUrl.h"
#include "config/StoreLayout.h"
#include "platform/Numbers.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

const std::vector<std::string>& startupTypes() {
    static const std::vector<std::string> types = {"auto", "delayed", "manual", "disabled"};
    return types;
}

const char* jvmTypeName(JvmType type) { return type == JvmType::Server ? "server" : "client"; }

const char* startupTypeName(StartupType type) { return startupTypes()[static_cast<std::size_t>(type)].c_str(); }

namespace {

using C = Configuration;
using F = Field;

StoredField textField(F field, const std::string& name, const char* label, std::string C::*member, int rank) {
    StoredField f{field, name, label, FieldKind::Text, rank};
    f.text = member;
    return f;
}
StoredField checkField(F field, const std::string& name, const char* label, bool C::*member, int rank,
                       bool defaultWhenAbsent = false) {
    StoredField f{field, name, label, FieldKind::Check, rank, defaultWhenAbsent};
    f.check = member;
    return f;
}
StoredField sizeField(F field, const std::string& name, const char* label, std::uint16_t C::*member, int rank) {
    StoredField f{field, name, label, FieldKind::Size, rank};
    f.size = member;
    return f;
}
StoredField secondsField(F field, const std::string& name, const char* label, std::uint32_t C::*member, int rank) {
    StoredField f{field, name, label, FieldKind::Seconds, rank, true};
    f.seconds = member;
    return f;
}
StoredField listField(F field, const std::string& name, const char* label, FieldKind kind,
                      std::vector<std::string> C::*member, int rank, bool defaultWhenAbsent) {
    StoredField f{field, name, label, kind, rank, defaultWhenAbsent};
    f.list = member;
    return f;
}

StoredField rootFolderField(F field, const std::string& name, const char* label, std::string C::*member, int rank) {
    StoredField f = textField(field, name, label, member, rank);
    f.rule = rootFolderProblem;
    return f;
}

// What only Velmora reads: a change of it leaves the installed service as it is.
StoredField velmoraOnly(StoredField f) {
    f.reachesService = false;
    return f;
}

}  // namespace

const std::vector<StoredField>& storedFields() {
    static const std::vector<StoredField> fields = {
        rootFolderField(F::CatalinaHome, store::kCatalinaHome, "Catalina Home", &C::catalinaHome, 1),
        textField(F::SystemOut, store::kSystemOut, "System.out location", &C::systemOut, 3),
        textField(F::SystemErr, store::kSystemErr, "System.err location", &C::systemErr, 4),
        textField(F::TomcatConfigFile, store::kTomcatConfig, "Tomcat Config File", &C::tomcatConfigFile, 5),
        rootFolderField(F::CatalinaBase, store::kCatalinaBase, "Catalina Base", &C::catalinaBase, 2),
        checkField(F::UseSecurityManager, store::kSecurityManager, "Use Security Manager", &C::useSecurityManager, 7),
        textField(F::SecurityPolicyFile, store::kSecurityPolicy, "Security Policy File", &C::securityPolicyFile, 8),
        {F::JvmType, store::kJvm, "JVM", FieldKind::Jvm, 9},
        rootFolderField(F::JavaHome, store::kJavaHome, "Java Home", &C::javaHome, 10),
        textField(F::ClassPath, store::kClassPath, "Classpath", &C::classPath, 11),
        textField(F::TempDirectory, store::kTempDirectory, "Temp Directory", &C::tempDirectory, 12),
        sizeField(F::InitialHeapSize, store::kInitialHeap, "Initial Heap Size (MB)", &C::initialHeapSize, 14),
        sizeField(F::MaxHeapSize, store::kMaxHeap, "Max Heap Size (MB)", &C::maxHeapSize, 15),
        textField(F::Description, store::kDescription, "Description", &C::description, 6),
        checkField(F::ReduceOsSignals, store::kReduceOsSignals, "Reduce OS signals (-Xrs)", &C::reduceOsSignals, 17),
        sizeField(F::ThreadStackSize, store::kThreadStack, "Stack Size (KB)", &C::threadStackSize, 16),
        listField(F::AdditionalOptions, store::kAdditionalOptions, "Additional JVM Options", FieldKind::Options,
                  &C::additionalJvmOptions, 13, false),
        {F::StartupType, store::kStartupType, "Start-up type", FieldKind::Choice, 18, true},
        [] {
            StoredField f{F::ServiceAccount, store::kServiceAccount, "Log on as", FieldKind::Account, 19, true};
            f.text = &C::serviceAccount;
            return f;
        }(),
        listField(F::Dependencies, store::kDependencies, "Depends on", FieldKind::List, &C::dependencies, 20, true),
        secondsField(F::StopTimeout, store::kStopTimeout, "Stop timeout (seconds)", &C::stopTimeout, 21),
        secondsField(F::RecoveryFirst, store::kRecoveryFirst, "First failure", &C::recoveryFirst, 22),
        secondsField(F::RecoverySecond, store::kRecoverySecond, "Second failure", &C::recoverySecond, 23),
        secondsField(F::RecoveryLater, store::kRecoveryLater, "Later failures", &C::recoveryLater, 24),
        secondsField(F::RecoveryReset, store::kRecoveryReset, "Reset the failure count after (seconds)",
                     &C::recoveryReset, 25),
        checkField(F::RecoveryOnErrorExit, store::kRecoveryOnErrorExit, "Error exits count as failures",
                   &C::recoveryOnErrorExit, 26, true),
        [] {
            StoredField f{F::DisplayName, store::kDisplayName, "Display name", FieldKind::Text, 27, true};
            f.text = &C::displayName;
            return f;
        }(),
        listField(F::Environment, store::kEnvironment, "Environment", FieldKind::Variables, &C::environment, 28, true),
        [] {
            StoredField f = textField(F::ReadyUrl, store::kReadyUrl, "Ready when this URL answers", &C::readyUrl, 29);
            f.defaultWhenAbsent = true;
            f.rule = localUrlProblem;
            f.reachesService = false;
            return f;
        }(),
        velmoraOnly(
            secondsField(F::StartTimeout, store::kStartTimeout, "Start timeout (seconds)", &C::startTimeout, 30)),
        velmoraOnly(sizeField(F::LogsKeepDays, store::kLogsKeepDays, "Keep logs (days)", &C::logsKeepDays, 31)),
        velmoraOnly(sizeField(F::LogsMaxMb, store::kLogsMaxMb, "Logs at most (MB)", &C::logsMaxMb, 32)),
    };
    return fields;
}

const StoredField* storedField(const std::string& name) {
    const auto& fields = storedFields();
    auto found = std::find_if(fields.begin(), fields.end(), [&](const StoredField& f) { return f.name == name; });
    return found == fields.end() ? nullptr : &*found;
}

const StoredField& storedField(Field field) {
    const auto& fields = storedFields();
    return *std::find_if(fields.begin(), fields.end(), [&](const StoredField& f) { return f.field == field; });
}

std::vector<const StoredField*> fieldsInLoadOrder() {
    std::vector<const StoredField*> order;
    for (const StoredField& field : storedFields()) order.push_back(&field);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->loadRank < b->loadRank; });
    return order;
}

std::string fieldNames(const std::vector<const StoredField*>& fields) {
    std::string names;
    for (const StoredField* field : fields) names += (names.empty() ? "" : ", ") + field->name;
    return names;
}

std::vector<const StoredField*> differingFields(const Configuration& a, const Configuration& b) {
    std::vector<const StoredField*> differing;
    for (const StoredField& field : storedFields()) {
        const bool same = field.list ? a.*field.list == b.*field.list : fieldText(a, field) == fieldText(b, field);
        if (!same) differing.push_back(&field);
    }
    return differing;
}

std::string fieldText(const Configuration& c, const StoredField& field) {
    switch (field.kind) {
        case FieldKind::Check: return c.*field.check ? "1" : "0";
        case FieldKind::Size: return c.*field.size ? std::to_string(c.*field.size) : std::string();
        case FieldKind::Seconds: return std::to_string(c.*field.seconds);
        case FieldKind::Jvm: return jvmTypeName(c.jvmType);
        case FieldKind::Choice: return startupTypeName(c.startupType);
        case FieldKind::Options:
        case FieldKind::List:
        case FieldKind::Variables: {
            std::string joined;
            for (const auto& entry : c.*field.list) joined += (joined.empty() ? "" : " ") + entry;
            return joined;
        }
        case FieldKind::Text:
        case FieldKind::Account: break;
    }
    return c.*field.text;
}

std::vector<std::string> fieldLines(const Configuration& c, const StoredField& field) {
    if (!field.list) return {field.name + " = " + fieldText(c, field)};
    std::vector<std::string> lines;
    for (const auto& entry : c.*field.list) lines.push_back(field.name + " = " + entry);
    return lines;
}

void setFieldText(Configuration& c, const StoredField& field, const std::string& text) {
    switch (field.kind) {
        case FieldKind::Check: c.*field.check = text == "1"; break;
        case FieldKind::Size: c.*field.size = wholeNumber<std::uint16_t>(text).value_or(0); break;
        case FieldKind::Seconds: c.*field.seconds = wholeNumber<std::uint32_t>(text).value_or(0); break;
        case FieldKind::Jvm: c.jvmType = sameName(text, "client") ? JvmType::Client : JvmType::Server; break;
        case FieldKind::Choice: {
            const auto& words = startupTypes();
            const auto at =
                std::find_if(words.begin(), words.end(), [&](const std::string& w) { return sameName(w, text); });
            if (at != words.end()) c.startupType = static_cast<StartupType>(at - words.begin());
            break;
        }
        case FieldKind::Options:
        case FieldKind::List:
        case FieldKind::Variables:
            if (!text.empty()) (c.*field.list).push_back(text);
            break;
        case FieldKind::Text:
        case FieldKind::Account: c.*field.text = text; break;
    }
}

std::string sizeValueProblem(const std::string& text) {
    const std::string expected = "expected a whole number from 0 to 32767 (0 or nothing: no size)";
    if (text.empty()) return {};
    if (text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return expected;
    return wholeNumber<int>(text).value_or(kLargestSize + 1) <= kLargestSize ? std::string() : expected;
}

std::string checkValueProblem(const std::string& text) {
    return text == "0" || text == "1" ? std::string() : "expected 0 or 1";
}

std::string jvmValueProblem(const std::string& text) {
    return sameName(text, "server") || sameName(text, "client") ? std::string() : "expected \"server\" or \"client\"";
}

// A control character can hide what a value holds (ESC [2K and a carriage
// return print over it) and a NUL ends a registry text early.
std::string textValueProblem(const std::string& text) {
    const auto hidden = firstHiddenCharacter(text);
    return hidden ? "a text must not hold a control character or a bidirectional override (it holds " +
                        codePointName(*hidden) + ")"
                  : std::string();
}

// Seconds as the service manager counts milliseconds in 32 bits.
constexpr long long kLargestSeconds = 4294967;

std::string secondsValueProblem(const std::string& text) {
    const std::string expected = "expected a whole number of seconds from 0 to 4294967";
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos) return expected;
    return wholeNumber<long long>(text).value_or(kLargestSeconds + 1) <= kLargestSeconds ? std::string() : expected;
}

std::string accountValueProblem(const std::string& text) {
    for (const char* builtIn : {"LocalSystem", "LocalService", "NetworkService", "virtual"})
        if (sameName(text, builtIn)) return {};
    const auto slash = text.find('\\');
    const bool named = slash != std::string::npos && slash > 0 && slash + 1 < text.size() &&
                       text.find('\\', slash + 1) == std::string::npos &&
                       text.find_first_of("/:*?\"<>|") == std::string::npos;
    return named ? std::string()
                 : "expected LocalSystem, LocalService, NetworkService, virtual (the service's own account), or an "
                   "account as DOMAIN\\name (.\\name for a local one, DOMAIN\\name$ for a managed service account)";
}

std::string variableProblem(const std::string& entry) {
    const auto equals = entry.find('=');
    if (equals == std::string::npos || equals == 0) return "expected NAME=VALUE";
    return {};
}

// Velmora's own folder is not the service's: a relative path would be found from another place than it checked.
std::string rootFolderProblem(const std::string& text) {
    if (text.empty() || isAbsoluteWindowsPath(text)) return {};
    return "expected a full path (C:\\... or \\\\server\\share\\...): the service would look for a relative one "
           "from its own folder";
}

std::string serviceNameListProblem(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/") != std::string::npos) return "expected the name of a service";
    return textValueProblem(name);
}

std::string listProblem(const StoredField& field, const std::vector<std::string>& entries) {
    if (field.kind != FieldKind::Variables) return {};
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        const std::string name = entry.substr(0, entry.find('='));
        for (const auto& seen : names)
            if (sameName(seen, name)) return "the variable " + name + " is given twice";
        names.push_back(name);
    }
    return {};
}

std::string valueProblem(const StoredField& field, const std::string& value) {
    if (std::string problem = textValueProblem(value); !problem.empty()) return problem;
    if (field.rule)
        if (std::string problem = field.rule(value); !problem.empty()) return problem;
    switch (field.kind) {
        case FieldKind::Size: return sizeValueProblem(value);
        case FieldKind::Check: return checkValueProblem(value);
        case FieldKind::Jvm: return jvmValueProblem(value);
        case FieldKind::Seconds: return secondsValueProblem(value);
        case FieldKind::Account: return accountValueProblem(value);
        case FieldKind::List: return value.empty() ? std::string() : serviceNameListProblem(value);
        case FieldKind::Variables:
            if (std::string why = value.empty() ? std::string() : variableProblem(value); !why.empty()) return why;
            return textValueProblem(value);
        case FieldKind::Choice: {
            std::string expected = "expected one of ";
            for (const auto& choice : startupTypes()) {
                if (sameName(value, choice)) return {};
                expected += (&choice == &startupTypes().front() ? "" : ", ") + choice;
            }
            return expected;
        }
        default: return textValueProblem(value);
    }
}

}  // namespace velmora
