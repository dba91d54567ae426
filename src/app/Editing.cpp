#include "app/Editing.h"

#include <algorithm>

#include "app/Conversation.h"
#include "app/Imports.h"
#include "app/SessionMessages.h"
#include "config/NameList.h"
#include "config/NameRule.h"
#include "config/NewConfiguration.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

Editing::Editing(Platform& platform, ConfigurationStore& store, FrontEnd& frontEnd, SetterChecks checks)
    : platform_(platform),
      store_(store),
      frontEnd_(frontEnd),
      checks_(checks),
      editor_(platform.files, platform.environment) {}

// The JVM type chosen last, unless the JDK has no client JVM to offer.
Configuration Editing::freshConfiguration() {
    const std::string javaHome = defaultJavaHome(platform_.environment, platform_.registry);
    const bool clientPossible = clientJvmRefusal(javaHome, platform_.files).empty();
    return velmora::newConfiguration(defaultCatalinaHome(platform_.environment), javaHome,
                                     clientPossible ? configuration().jvmType : JvmType::Server, platform_.files);
}

void Editing::show() { frontEnd_.showConfiguration(configuration(), nameLocked_, tomcatVersion().text); }

TomcatVersion Editing::tomcatVersion() { return tomcatVersionAt(configuration().catalinaHome, platform_.files); }

void Editing::newConfiguration() {
    editor_.start(freshConfiguration());
    nameLocked_ = false;
    show();
}

Outcome Editing::open(const std::string& name) {
    Conversation conversation(frontEnd_);
    // A name that is not a key of its own would read another key's values.
    if (std::string why = unusableNameReason(name); !why.empty()) return conversation.refuse(why);
    const StoredConfiguration stored = store_.read(name);
    if (!stored.keyExists && store_.nameList().holds(name)) conversation.warn(messages::listedButMissing(name));
    for (const auto& [value, type] : stored.unusableValues)
        conversation.warn(messages::unusableStoredValue(name, value, type));
    for (const auto& [value, word] : stored.unknownChoices)
        conversation.warn(
            messages::unknownStoredWord(name, value, word, fieldText(stored.values, *storedField(value))));
    editor_.load(freshConfiguration(), stored);
    nameLocked_ = true;
    show();
    Outcome opened;
    opened.summary = "Opened \"" + name + "\".";
    opened.warnings = conversation.warnings;
    return opened;
}

// Every value is held to its field's rule here, whichever front end gives it.
Outcome Editing::edit(Field field, const std::string& given) {
    const bool named = field == Field::ServiceName;
    const StoredField* stored = named ? nullptr : &storedField(field);
    std::string value = given;
    if (stored && stored->kind == FieldKind::Size && value == "0") value.clear();  // 0 is no size
    std::string problem = stored ? valueProblem(*stored, value) : textValueProblem(value);
    if (problem.empty())
        problem = editor_.refusal(field, value);
    else
        problem = messages::valueNotStored(stored ? stored->label : "Service Name", value, problem);
    if (!problem.empty()) {
        // Told whether or not the setters speak: a typed value is never dropped unsaid.
        frontEnd_.warn(problem);
        show();
        return Outcome::refused(problem);
    }
    Conversation conversation(frontEnd_);
    NobodyToAsk nobody;
    const bool taken = editor_.set(field, value, checksSpeak() ? static_cast<Questions&>(conversation) : nobody);
    show();
    return conversation.edited(taken);
}

std::string Editing::entriesRefusal(Field field, const std::vector<std::string>& entries) {
    const StoredField& stored = storedField(field);
    for (const auto& entry : entries) {
        std::string why;
        if (std::string problem = valueProblem(stored, entry); !problem.empty() && !entry.empty())
            why = messages::valueNotStored(stored.label, entry, problem);
        else
            why = editor_.refusal(field, entry);
        if (!why.empty()) {
            frontEnd_.warn(why);
            return why;
        }
    }
    if (std::string problem = listProblem(stored, entries); !problem.empty()) {
        const std::string why = "The list was not stored in " + std::string(stored.label) + ": " + problem + ".";
        frontEnd_.warn(why);
        return why;
    }
    return {};
}

bool Editing::addOption(const std::string& option) {
    if (!entriesRefusal(Field::AdditionalOptions, {option}).empty()) return false;
    Conversation conversation(frontEnd_);
    NobodyToAsk nobody;
    const bool added = editor_.addOption(option, checksSpeak() ? static_cast<Questions&>(conversation) : nobody);
    show();
    return added;
}

std::string Editing::takeOption(int index) {
    std::string option = editor_.takeOption(index);
    show();
    return option;
}

bool Editing::moveOption(int index, int by) {
    const bool moved = editor_.moveOption(index, by);
    show();
    return moved;
}

Outcome Editing::replaceList(Field field, const std::vector<std::string>& entries) {
    if (std::string why = entriesRefusal(field, entries); !why.empty()) return Outcome::refused(why);
    Conversation conversation(frontEnd_);
    NobodyToAsk nobody;
    Questions& questions = checksSpeak() ? static_cast<Questions&>(conversation) : nobody;
    bool taken = true;
    if (field == Field::AdditionalOptions) {
        taken = editor_.setOptions(entries, questions);
    } else {
        editor_.clearList(field);
        for (const auto& entry : entries) editor_.set(field, entry, questions);
    }
    show();
    return conversation.edited(taken);
}

void Editing::takeDesired(const Configuration& values, const std::vector<Field>& given) {
    // A stored configuration keeps its spelling of the name.
    const std::string name = nameLocked_ ? configuration().serviceName : values.serviceName;
    const std::vector<std::string> created = editor_.createdFolders();
    editor_.start(entryBase(platform_));
    editor_.createdFolders() = created;
    editor_.setServiceName(name);
    editor_.apply(values, given);
    show();
}

void Editing::takeBackUnstoredFolders(std::size_t kept) {
    std::vector<std::string>& made = createdFolders();
    if (made.size() <= kept) return;
    const std::vector<std::string> stored = store_.read(configuration().serviceName).createdFolders;
    // The deepest first: a level above is empty only once those below it are gone.
    for (std::size_t i = made.size(); i-- > kept;) {
        if (std::any_of(stored.begin(), stored.end(), [&](const std::string& s) { return samePath(s, made[i]); }))
            continue;
        (void)platform_.files.removeEmptyFolder(made[i]);  // one that holds something now is not ours alone
        made.erase(made.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void Editing::restore(const Configuration& values) {
    const std::vector<std::string> created = editor_.createdFolders();
    editor_.start(values);
    editor_.createdFolders() = created;
    show();
}

void Editing::useJdk(const std::string& javaHome) {
    NobodyToAsk nobody;
    editor_.setJavaHome(javaHome, nobody);
    show();
}

}  // namespace velmora
