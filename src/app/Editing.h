#pragma once
#include <string>
#include <vector>

#include "app/FrontEnd.h"
#include "app/Outcome.h"
#include "checks/ConfigurationEditor.h"
#include "config/ConfigurationStore.h"
#include "config/TomcatRelease.h"
#include "platform/Platform.h"

namespace velmora {

// When the setters' checks speak (warn, offer a missing folder, ask whether
// the paths move with a new home): once the configuration is stored, as the
// window has it (a new one is filled in quietly), or always, as the command
// line checks every value it is given.
enum class SetterChecks { OnceStored, Always };

// The one configuration being edited, whichever front end edits it: a new
// one, one opened from the store, and every value handed over through its
// field's rule and setter. It knows nothing of the service.
class Editing {
public:
    Editing(Platform& platform, ConfigurationStore& store, FrontEnd& frontEnd, SetterChecks checks);

    const Configuration& configuration() const { return editor_.configuration(); }
    // The name is fixed once the configuration is stored.
    bool nameLocked() const { return nameLocked_; }
    void lockName() { nameLocked_ = true; }
    // Folders created for this configuration, as stored with it and made since.
    std::vector<std::string>& createdFolders() { return editor_.createdFolders(); }
    // The Tomcat version the configuration's home declares.
    TomcatVersion tomcatVersion();

    // File > New: a fresh configuration, asking nothing.
    void newConfiguration();
    // A stored configuration, with a warning for each value that cannot be used.
    Outcome open(const std::string& name);

    // Refused when the value was not taken (its rule, or what this Tomcat and
    // JDK cannot run), declined when a move of the paths was answered No.
    Outcome edit(Field field, const std::string& value);
    bool addOption(const std::string& option);
    std::string takeOption(int index);
    // Moves the option at that place one up (-1) or down (+1); false when it cannot move.
    bool moveOption(int index, int by);
    // A whole list at once, the options or the dependencies: taken whole or not at all.
    Outcome replaceList(Field field, const std::vector<std::string>& entries);
    // The values of a desired state as an import completes them: a new
    // configuration's (whatever was edited before), with those given handed to
    // their setters asking nobody (so a given home moves the paths below it
    // unless those are given too). A stored configuration keeps its name.
    void takeDesired(const Configuration& values, const std::vector<Field>& given);
    // Back to a configuration as it was before an operation that did not go through.
    void restore(const Configuration& values);
    // The folders made for this configuration after the first `kept` that the store does not hold as made
    // for it go again while they hold nothing: a command that stored nothing leaves nothing made.
    void takeBackUnstoredFolders(std::size_t kept);
    // Another JDK, its class-path entry moved with it, asking nobody.
    void useJdk(const std::string& javaHome);
    void show();
    // Whether the checks warn and ask now, or keep quiet (a new configuration in the window).
    bool checksSpeak() const { return checks_ == SetterChecks::Always || nameLocked_; }

private:
    Configuration freshConfiguration();
    // The first entry of a list that its field's rule refuses, told as a warning; empty when none is.
    std::string entriesRefusal(Field field, const std::vector<std::string>& entries);

    Platform& platform_;
    ConfigurationStore& store_;
    FrontEnd& frontEnd_;
    SetterChecks checks_;
    ConfigurationEditor editor_;
    bool nameLocked_ = false;
};

}  // namespace velmora
