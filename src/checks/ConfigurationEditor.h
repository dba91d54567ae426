#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "checks/Questions.h"
#include "config/Configuration.h"
#include "config/ConfigurationFields.h"
#include "config/ConfigurationStore.h"
#include "config/TomcatLayout.h"
#include "platform/Files.h"

namespace velmora {

// The one configuration being edited. Every value enters through its setter,
// which stores it and runs its follow-up: an existence check, the class path
// rebuilt for a new JDK, or the paths moved along with a new home or base.
// Questions go to whoever the caller names; the editor knows no control.
class ConfigurationEditor {
public:
    ConfigurationEditor(Files& files, Environment& environment) : files_(files), environment_(environment) {}

    const Configuration& configuration() const { return config_; }
    // The folders created for this configuration (answering "Missing Folder"
    // Yes), as stored with it and made since.
    std::vector<std::string>& createdFolders() { return createdFolders_; }

    // A fresh configuration; its home counts as seen, so nothing moves.
    void start(const Configuration& fresh);
    // A stored configuration over the fresh one, value by value through the
    // setters in load order, asking nobody: where the stored home or base
    // differs from the fresh one, the paths below move before the stored
    // ones arrive. A stored policy file is kept whether or not the security
    // manager is on; the check box only decides whether the options carry it.
    void load(const Configuration& fresh, const StoredConfiguration& stored);

    // The given fields of a configuration, in load order, asking nobody: the
    // paths below a given home or base move first, and given ones win.
    void apply(const Configuration& from, const std::vector<Field>& fields);

    // Any field by meaning, from a text as a box or the command line gives
    // it. False when the value was refused (and the refusal warned about).
    bool set(Field field, const std::string& value, Questions& questions);
    // Why this Tomcat and JDK cannot take the value (the security manager on
    // Tomcat 11 or Java 24, a client JVM the JDK lacks, a value the wrapper
    // could not pass on whole); empty when they can. A stored value is
    // loaded all the same: only a new one is refused.
    std::string refusal(Field field, const std::string& value) const;

    void setServiceName(const std::string& value);
    bool setCatalinaHome(const std::string& value, Questions& questions);
    bool setCatalinaBase(const std::string& value, Questions& questions);
    bool setTomcatConfigFile(const std::string& value, Questions& questions);
    bool setSecurityPolicyFile(const std::string& value, Questions& questions);
    void setJavaHome(const std::string& value, Questions& questions);
    bool setTempDirectory(const std::string& value, Questions& questions);
    void setSystemOut(const std::string& value, Questions& questions);
    void setSystemErr(const std::string& value, Questions& questions);
    void setClassPath(const std::string& value, Questions& questions);

    // The additional JVM options, in the order given: the JVM reads them in
    // order, and the later of two settings wins. False when refused.
    bool addOption(const std::string& option, Questions& questions);
    bool setOptions(std::vector<std::string> options, Questions& questions);
    // The option at that place, taken out; empty when there is none.
    std::string takeOption(int index);
    // The option at that place swapped with its neighbour `by` away; false when there is none.
    bool moveOption(int index, int by);
    // Empties a list field, so that what is set next replaces it.
    void clearList(Field field);

private:
    // One stored value handed over as a load hands it, asking nobody.
    void setFrom(const StoredField& field, const Configuration& from);
    void propagateCatalinaHomeChange(Questions& questions);
    void propagateCatalinaBaseChange(Questions& questions);
    // False (with a warning) when the wrapper could not pass the value whole.
    bool carried(const Configuration& candidate, Questions& questions);
    // The values of the candidate that the wrapper could not pass whole and the configuration does not hold yet.
    std::vector<UncarriedValue> uncarried(const Configuration& c) const;
    std::vector<UncarriedValue> newlyUncarried(const Configuration& candidate) const;
    std::string defaultClassPathFor(const std::string& javaHome);

    Files& files_;
    Environment& environment_;
    Configuration config_;
    std::string lastCatalinaHome_;
    std::string lastCatalinaBase_;
    std::vector<std::string> createdFolders_;
};

}  // namespace velmora
