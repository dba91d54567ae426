#include "config/ConfigurationFields.h"

#include <algorithm>

#include "config/StoreLayout.h"
#include "platform/Numbers.h"
#include "platform/Text.h"

namespace velmora {

const std::vector<std::string>& startupTypes() {
    static const std::vector<std::string> types = {"auto", "delayed", "manual", "disabled"};
    return types;
}

const std::vector<StoredField>& storedFields() {
    using C = Configuration;
    using K = FieldKind;
    using F = Field;
    static const std::vector<StoredField> fields = {
        {F::CatalinaHome, store::kCatalinaHome, "Catalina Home", K::Text, &C::catalinaHome, nullptr, 1},
        {F::SystemOut, store::kSystemOut, "System.out location", K::Text, &C::systemOut, nullptr, 3},
        {F::SystemErr, store::kSystemErr, "System.err location", K::Text, &C::systemErr, nullptr, 4},
        {F::TomcatConfigFile, store::kTomcatConfig, "Tomcat Config File", K::Text, &C::tomcatConfigFile, nullptr, 5},
        {F::CatalinaBase, store::kCatalinaBase, "Catalina Base", K::Text, &C::catalinaBase, nullptr, 2},
        {F::UseSecurityManager, store::kSecurityManager, "Use Security Manager", K::Check, nullptr,
         &C::useSecurityManager, 7},
        {F::SecurityPolicyFile, store::kSecurityPolicy, "Security Policy File", K::Text, &C::securityPolicyFile,
         nullptr, 8},
        {F::JvmType, store::kJvm, "JVM", K::Jvm, &C::jvmType, nullptr, 9},
        {F::JavaHome, store::kJavaHome, "Java Home", K::Text, &C::javaHome, nullptr, 10},
        {F::ClassPath, store::kClassPath, "Classpath", K::Text, &C::classPath, nullptr, 11},
        {F::TempDirectory, store::kTempDirectory, "Temp Directory", K::Text, &C::tempDirectory, nullptr, 12},
        {F::InitialHeapSize, store::kInitialHeap, "Initial Heap Size (MB)", K::Size, &C::initialHeapSize, nullptr, 14},
        {F::MaxHeapSize, store::kMaxHeap, "Max Heap Size (MB)", K::Size, &C::maxHeapSize, nullptr, 15},
        {F::Description, store::kDescription, "Description", K::Text, &C::description, nullptr, 6},
        {F::ReduceOsSignals, store::kReduceOsSignals, "Reduce OS signals (-Xrs)", K::Check, nullptr,
         &C::reduceOsSignals, 17},
        {F::ThreadStackSize, store::kThreadStack, "Stack Size (KB)", K::Size, &C::threadStackSize, nullptr, 16},
        {F::AdditionalOptions, store::kAdditionalOptions, "Additional JVM Options", K::Options, nullptr, nullptr, 13,
         &C::additionalJvmOptions},
        {F::StartupType, store::kStartupType, "Start-up type", K::Choice, &C::startupType, nullptr, 18, nullptr,
         &startupTypes(), true},
        {F::ServiceAccount, store::kServiceAccount, "Log on as", K::Account, &C::serviceAccount, nullptr, 19, nullptr,
         nullptr, true},
        {F::Dependencies, store::kDependencies, "Depends on", K::List, nullptr, nullptr, 20, &C::dependencies, nullptr,
         true},
        {F::StopTimeout, store::kStopTimeout, "Stop timeout (seconds)", K::Seconds, &C::stopTimeout, nullptr, 21,
         nullptr, nullptr, true},
        {F::RecoveryFirst, store::kRecoveryFirst, "First failure", K::Seconds, &C::recoveryFirst, nullptr, 22, nullptr,
         nullptr, true},
        {F::RecoverySecond, store::kRecoverySecond, "Second failure", K::Seconds, &C::recoverySecond, nullptr, 23,
         nullptr, nullptr, true},
        {F::RecoveryLater, store::kRecoveryLater, "Later failures", K::Seconds, &C::recoveryLater, nullptr, 24, nullptr,
         nullptr, true},
        {F::RecoveryReset, store::kRecoveryReset, "Reset the failure count after (seconds)", K::Seconds,
         &C::recoveryReset, nullptr, 25, nullptr, nullptr, true},
        {F::RecoveryOnErrorExit, store::kRecoveryOnErrorExit, "Error exits count as failures", K::Check, nullptr,
         &C::recoveryOnErrorExit, 26, nullptr, nullptr, true},
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

std::vector<const StoredField*> differingFields(const Configuration& a, const Configuration& b) {
    std::vector<const StoredField*> differing;
    for (const StoredField& field : storedFields()) {
        const bool same = field.list    ? a.*field.list == b.*field.list
                          : field.check ? a.*field.check == b.*field.check
                                        : a.*field.text == b.*field.text;
        if (!same) differing.push_back(&field);
    }
    return differing;
}

std::string fieldText(const Configuration& c, const StoredField& field) {
    switch (field.kind) {
        case FieldKind::Check: return std::to_string(c.*field.check);
        case FieldKind::Options:
        case FieldKind::List: {
            std::string joined;
            for (const auto& entry : c.*field.list) joined += (joined.empty() ? "" : " ") + entry;
            return joined;
        }
        default: return c.*field.text;
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
    return text == "server" || text == "client" ? std::string() : "expected \"server\" or \"client\"";
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

std::string serviceNameListProblem(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/") != std::string::npos) return "expected the name of a service";
    return textValueProblem(name);
}

std::string valueProblem(const StoredField& field, const std::string& value) {
    if (std::string problem = textValueProblem(value); !problem.empty()) return problem;
    switch (field.kind) {
        case FieldKind::Size: return sizeValueProblem(value);
        case FieldKind::Check: return checkValueProblem(value);
        case FieldKind::Jvm: return jvmValueProblem(value);
        case FieldKind::Seconds: return secondsValueProblem(value);
        case FieldKind::Account: return accountValueProblem(value);
        case FieldKind::List: return value.empty() ? std::string() : serviceNameListProblem(value);
        case FieldKind::Choice: {
            std::string expected = "expected one of ";
            for (const auto& choice : *field.choices) {
                if (value == choice) return {};
                expected += (&choice == &field.choices->front() ? "" : ", ") + choice;
            }
            return expected;
        }
        default: return textValueProblem(value);
    }
}

}  // namespace velmora
