#include "config/ConfigurationFields.h"

#include <algorithm>

#include "config/StoreLayout.h"

namespace velmora {

const std::vector<StoredField>& storedFields() {
    using C = Configuration;
    using K = FieldKind;
    using F = Field;
    static const std::vector<StoredField> fields = {
        {F::CatalinaHome, store::kCatalinaHome, K::Text, &C::catalinaHome, nullptr, 1},
        {F::SystemOut, store::kSystemOut, K::Text, &C::systemOut, nullptr, 3},
        {F::SystemErr, store::kSystemErr, K::Text, &C::systemErr, nullptr, 4},
        {F::TomcatConfigFile, store::kTomcatConfig, K::Text, &C::tomcatConfigFile, nullptr, 5},
        {F::CatalinaBase, store::kCatalinaBase, K::Text, &C::catalinaBase, nullptr, 2},
        {F::UseSecurityManager, store::kSecurityManager, K::Check, nullptr, &C::useSecurityManager, 7},
        {F::SecurityPolicyFile, store::kSecurityPolicy, K::Text, &C::securityPolicyFile, nullptr, 8},
        {F::JvmType, store::kJvm, K::Jvm, &C::jvmType, nullptr, 9},
        {F::JavaHome, store::kJavaHome, K::Text, &C::javaHome, nullptr, 10},
        {F::ClassPath, store::kClassPath, K::Text, &C::classPath, nullptr, 11},
        {F::TempDirectory, store::kTempDirectory, K::Text, &C::tempDirectory, nullptr, 12},
        {F::InitialHeapSize, store::kInitialHeap, K::Size, &C::initialHeapSize, nullptr, 14},
        {F::MaxHeapSize, store::kMaxHeap, K::Size, &C::maxHeapSize, nullptr, 15},
        {F::Description, store::kDescription, K::Text, &C::description, nullptr, 6},
        {F::ReduceOsSignals, store::kReduceOsSignals, K::Check, nullptr, &C::reduceOsSignals, 17},
        {F::ThreadStackSize, store::kThreadStack, K::Size, &C::threadStackSize, nullptr, 16},
        {F::AdditionalOptions, store::kAdditionalOptions, K::Options, nullptr, nullptr, 13},
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

std::string fieldText(const Configuration& c, const StoredField& field) {
    switch (field.kind) {
        case FieldKind::Check: return std::to_string(c.*field.check);
        case FieldKind::Options: {
            std::string joined;
            for (const auto& option : c.additionalJvmOptions) joined += (joined.empty() ? "" : " ") + option;
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
    return std::stoi(text) <= kLargestSize ? std::string() : expected;
}

std::string checkValueProblem(const std::string& text) {
    return text == "0" || text == "1" ? std::string() : "expected 0 or 1";
}

std::string jvmValueProblem(const std::string& text) {
    return text == "server" || text == "client" ? std::string() : "expected \"server\" or \"client\"";
}

std::string textValueProblem(const std::string& text) {
    return text.find('\0') == std::string::npos ? std::string() : "a text must not hold a NUL character";
}

std::string valueProblem(const StoredField& field, const std::string& value) {
    switch (field.kind) {
        case FieldKind::Size: return sizeValueProblem(value);
        case FieldKind::Check: return checkValueProblem(value);
        case FieldKind::Jvm: return jvmValueProblem(value);
        default: return textValueProblem(value);
    }
}

}  // namespace velmora
