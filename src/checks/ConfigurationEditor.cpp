#include "checks/ConfigurationEditor.h"

#include <algorithm>

#include "checks/CheckMessages.h"
#include "checks/Checks.h"
#include "checks/PathRules.h"
#include "config/Encodings.h"
#include "config/ServiceAccount.h"
#include "config/TomcatLayout.h"
#include "config/TomcatRelease.h"
#include "platform/Text.h"

namespace velmora {

void ConfigurationEditor::start(const Configuration& fresh) {
    config_ = fresh;
    createdFolders_.clear();
    lastCatalinaHome_ = fresh.catalinaHome;
    lastCatalinaBase_ = fresh.catalinaHome;
}

void ConfigurationEditor::load(const Configuration& fresh, const StoredConfiguration& stored) {
    start(fresh);
    createdFolders_ = stored.createdFolders;
    const Configuration& from = stored.values;
    setServiceName(from.serviceName);
    for (const StoredField* field : fieldsInLoadOrder()) {
        const bool heap = field->field == Field::InitialHeapSize || field->field == Field::MaxHeapSize;
        if (heap && from.*field->size == 0) continue;  // an unset heap keeps what the fresh one has
        setFrom(*field, from);
    }
}

// Paths go through their setters, so that a home or base moves what lies below it; the rest is copied.
void ConfigurationEditor::setFrom(const StoredField& field, const Configuration& from) {
    NobodyToAsk nobody;
    switch (field.kind) {
        case FieldKind::Text:
        case FieldKind::Account: set(field.field, from.*field.text, nobody); break;
        case FieldKind::Options: setOptions(from.additionalJvmOptions, nobody); break;
        case FieldKind::List:
        case FieldKind::Variables: config_.*field.list = from.*field.list; break;
        default: setFieldText(config_, field, fieldText(from, field)); break;
    }
}

void ConfigurationEditor::apply(const Configuration& from, const std::vector<Field>& fields) {
    for (const StoredField* field : fieldsInLoadOrder())
        if (std::find(fields.begin(), fields.end(), field->field) != fields.end()) setFrom(*field, from);
}

bool ConfigurationEditor::set(Field field, const std::string& value, Questions& questions) {
    switch (field) {
        case Field::CatalinaHome: return setCatalinaHome(value, questions);
        case Field::CatalinaBase: return setCatalinaBase(value, questions);
        case Field::SecurityPolicyFile: return setSecurityPolicyFile(value, questions);
        case Field::TempDirectory: return setTempDirectory(value, questions);
        case Field::AdditionalOptions: return value.empty() || addOption(value, questions);
        case Field::ServiceName: setServiceName(value); break;
        case Field::TomcatConfigFile: return setTomcatConfigFile(value, questions);
        case Field::JavaHome: setJavaHome(value, questions); break;
        case Field::SystemOut: setSystemOut(value, questions); break;
        case Field::SystemErr: setSystemErr(value, questions); break;
        case Field::ClassPath: setClassPath(value, questions); break;
        case Field::ServiceAccount: config_.serviceAccount = storedAccountSpelling(value, config_.serviceName); break;
        // The rest has no follow-up: the value is taken as its text says.
        default: setFieldText(config_, storedField(field), value); break;
    }
    return true;
}

std::string ConfigurationEditor::refusal(Field field, const std::string& value) const {
    if (field == Field::ServiceName) return {};
    if (field == Field::UseSecurityManager && value == "1") {
        const TomcatVersion tomcat = tomcatVersionAt(config_.catalinaHome, files_);
        if (auto why = securityManagerRefusal(tomcat, jdkFeatureVersionOf(config_.javaHome, files_), config_.javaHome);
            !why.empty())
            return why + " Use Security Manager stays off.";
    }
    if (field == Field::JvmType && sameName(value, "client"))
        if (auto why = clientJvmRefusal(config_.javaHome, files_); !why.empty())
            return why + " Server JVM stays chosen.";
    // The value itself is refused whoever would hear of it, a new configuration's too: an install could not
    // take it later. What it would move along is judged once moved.
    Configuration candidate = config_;
    setFieldText(candidate, storedField(field), value);
    for (const auto& uncarried : newlyUncarried(candidate))
        if (uncarried.value == value) return uncarriedValueMessage(uncarried);
    return {};
}

bool ConfigurationEditor::carried(const Configuration& candidate, Questions& questions) {
    if (!questions.heard()) return true;
    const auto uncarried = newlyUncarried(candidate);
    if (!uncarried.empty()) questions.warn(uncarriedValueMessage(uncarried.front()));
    return uncarried.empty();
}

std::vector<UncarriedValue> ConfigurationEditor::uncarried(const Configuration& c) const {
    return uncarriedValues(tomcatLayoutOf(c.catalinaHome, files_), c, environment_);
}

std::vector<UncarriedValue> ConfigurationEditor::newlyUncarried(const Configuration& candidate) const {
    const auto before = uncarried(config_);
    std::vector<UncarriedValue> found;
    for (const auto& value : uncarried(candidate))
        if (std::none_of(before.begin(), before.end(),
                         [&](const UncarriedValue& old) { return old.value == value.value; }))
            found.push_back(value);
    return found;
}

void ConfigurationEditor::clearList(Field field) {
    if (const auto list = storedField(field).list) (config_.*list).clear();
}

void ConfigurationEditor::setServiceName(const std::string& value) { config_.serviceName = value; }

bool ConfigurationEditor::setCatalinaHome(const std::string& value, Questions& questions) {
    Configuration candidate = config_;
    candidate.catalinaHome = value;
    if (!carried(candidate, questions)) return false;
    config_.catalinaHome = value;
    propagateCatalinaHomeChange(questions);
    return true;
}

bool ConfigurationEditor::setCatalinaBase(const std::string& value, Questions& questions) {
    Configuration candidate = config_;
    candidate.catalinaBase = value;
    if (!carried(candidate, questions)) return false;
    config_.catalinaBase = value;
    propagateCatalinaBaseChange(questions);
    return true;
}

// A follow-up check can only warn: when nobody would hear it, it is left out.
bool ConfigurationEditor::setTomcatConfigFile(const std::string& value, Questions& questions) {
    Configuration candidate = config_;
    candidate.tomcatConfigFile = value;
    if (!carried(candidate, questions)) return false;
    config_.tomcatConfigFile = value;
    if (questions.heard()) Checker(files_, questions).fileExists(value, "Tomcat Config File");
    return true;
}

bool ConfigurationEditor::setSecurityPolicyFile(const std::string& value, Questions& questions) {
    Configuration candidate = config_;
    candidate.securityPolicyFile = value;
    if (!carried(candidate, questions)) return false;
    config_.securityPolicyFile = value;
    // A policy file matters only while the security manager is on: a new base does not ask for it otherwise.
    if (questions.heard() && config_.useSecurityManager)
        Checker(files_, questions).fileExists(value, "Security Policy File");
    return true;
}

void ConfigurationEditor::setJavaHome(const std::string& value, Questions& questions) {
    const std::string previous = config_.javaHome;
    config_.javaHome = value;
    // Only the old Catalina layout takes the JDK's tools.jar; Tomcat 7 and later never do.
    const bool classic = tomcatLayoutOf(config_.catalinaHome, files_).family == WrapperFamily::Classic;
    setClassPath(classPathForJdk(config_.classPath, previous, value, classic && jdkOffersToolsJar(value, files_)),
                 questions);
}

bool ConfigurationEditor::setTempDirectory(const std::string& value, Questions& questions) {
    Configuration candidate = config_;
    candidate.tempDirectory = value;
    if (!carried(candidate, questions)) return false;
    config_.tempDirectory = value;
    if (questions.heard()) Checker(files_, questions, &createdFolders_).folderOrCreate(value, "Temp Directory");
    return true;
}

void ConfigurationEditor::setSystemOut(const std::string& value, Questions& questions) {
    config_.systemOut = value;
    if (questions.heard()) Checker(files_, questions, &createdFolders_).folderOrCreate(value, "System.out file");
}

void ConfigurationEditor::setSystemErr(const std::string& value, Questions& questions) {
    config_.systemErr = value;
    if (questions.heard()) Checker(files_, questions, &createdFolders_).folderOrCreate(value, "System.err file");
}

void ConfigurationEditor::setClassPath(const std::string& value, Questions& questions) {
    config_.classPath = value;
    if (questions.heard()) Checker(files_, questions).classPath(value);
}

bool ConfigurationEditor::addOption(const std::string& option, Questions& questions) {
    if (option.empty()) return false;
    std::vector<std::string> options = config_.additionalJvmOptions;
    options.push_back(option);
    return setOptions(std::move(options), questions);
}

// The whole list is checked once: a check per option made a long list quadratic.
bool ConfigurationEditor::setOptions(std::vector<std::string> options, Questions& questions) {
    options.erase(std::remove(options.begin(), options.end(), std::string()), options.end());
    if (questions.heard()) {
        Configuration candidate = config_;
        candidate.additionalJvmOptions = options;
        if (!carried(candidate, questions)) return false;
    }
    config_.additionalJvmOptions = std::move(options);
    return true;
}

std::string ConfigurationEditor::takeOption(int index) {
    auto& options = config_.additionalJvmOptions;
    if (index < 0 || static_cast<std::size_t>(index) >= options.size()) return {};
    std::string option = options[static_cast<std::size_t>(index)];
    options.erase(options.begin() + index);
    return option;
}

bool ConfigurationEditor::moveOption(int index, int by) {
    auto& options = config_.additionalJvmOptions;
    const long to = static_cast<long>(index) + by;
    if (index < 0 || to < 0 || static_cast<std::size_t>(index) >= options.size() ||
        static_cast<std::size_t>(to) >= options.size())
        return false;
    std::swap(options[static_cast<std::size_t>(index)], options[static_cast<std::size_t>(to)]);
    return true;
}

std::string ConfigurationEditor::defaultClassPathFor(const std::string& javaHome) {
    const std::string& home = config_.catalinaHome;
    return defaultClassPath(tomcatLayoutOf(home, files_), home, javaHome, jdkOffersToolsJar(javaHome, files_));
}

void ConfigurationEditor::propagateCatalinaHomeChange(Questions& questions) {
    if (questions.heard()) Checker(files_, questions).folderExists(config_.catalinaHome, "Catalina Home");
    if (lastCatalinaHome_ != config_.catalinaHome) {
        // Nobody to ask: the change is carried along.
        const Answer answer = questions.ask({QuestionKind::MoveWithHome, messages::kHomeChanged});
        if (answer != Answer::No) {
            setClassPath(defaultClassPathFor(config_.javaHome), questions);
            setCatalinaBase(replaceAll(config_.catalinaBase, lastCatalinaHome_, config_.catalinaHome), questions);
        }
    }
    lastCatalinaHome_ = config_.catalinaHome;
}

void ConfigurationEditor::propagateCatalinaBaseChange(Questions& questions) {
    if (questions.heard()) Checker(files_, questions).folderExists(config_.catalinaBase, "Catalina Base");
    if (lastCatalinaBase_ != config_.catalinaBase) {
        const Answer answer = questions.ask({QuestionKind::MoveWithBase, messages::kBaseChanged});
        if (answer != Answer::No) {
            const std::string oldBase = lastCatalinaBase_;
            const std::string newBase = config_.catalinaBase;
            // The folders are matched with their trailing "\" so that a field
            // equal to the old base itself stays as it is.
            const std::string oldFolder = oldBase + "\\";
            const std::string newFolder = newBase + "\\";
            (void)setTomcatConfigFile(replaceAll(config_.tomcatConfigFile, oldBase, newBase), questions);
            setSystemOut(replaceAll(config_.systemOut, oldFolder, newFolder), questions);
            setSystemErr(replaceAll(config_.systemErr, oldFolder, newFolder), questions);
            setTempDirectory(replaceAll(config_.tempDirectory, oldFolder, newFolder), questions);
            setSecurityPolicyFile(replaceAll(config_.securityPolicyFile, oldFolder, newFolder), questions);
        }
    }
    lastCatalinaBase_ = config_.catalinaBase;
}

}  // namespace velmora
