#include "config/ConfigurationFields.h"

#include <algorithm>

#include "config/StoreLayout.h"

namespace velmora {

const std::vector<StoredField>& storedFields() {
    using C = Configuration;
    using K = FieldKind;
    static const std::vector<StoredField> fields = {
        {store::kCatalinaHome, K::Text, &C::catalinaHome},
        {store::kSystemOut, K::Text, &C::systemOut},
        {store::kSystemErr, K::Text, &C::systemErr},
        {store::kTomcatConfig, K::Text, &C::tomcatConfigFile},
        {store::kCatalinaBase, K::Text, &C::catalinaBase},
        {store::kSecurityManager, K::Check, nullptr, &C::useSecurityManager},
        {store::kSecurityPolicy, K::Text, &C::securityPolicyFile},
        {store::kJvm, K::Jvm, &C::jvmType},
        {store::kJavaHome, K::Text, &C::javaHome},
        {store::kClassPath, K::Text, &C::classPath},
        {store::kTempDirectory, K::Text, &C::tempDirectory},
        {store::kInitialHeap, K::Size, &C::initialHeapSize},
        {store::kMaxHeap, K::Size, &C::maxHeapSize},
        {store::kDescription, K::Text, &C::description},
        {store::kReduceOsSignals, K::Check, nullptr, &C::reduceOsSignals},
        {store::kThreadStack, K::Size, &C::threadStackSize},
        {store::kAdditionalOptions, K::Options},
    };
    return fields;
}

const StoredField* storedField(const std::string& name) {
    const auto& fields = storedFields();
    auto found = std::find_if(fields.begin(), fields.end(), [&](const StoredField& f) { return f.name == name; });
    return found == fields.end() ? nullptr : &*found;
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

}  // namespace velmora
