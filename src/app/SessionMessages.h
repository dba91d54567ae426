#pragma once
#include <string>
#include <vector>

#include "checks/Findings.h"
#include "config/ConfigurationFields.h"
#include "platform/Text.h"

namespace velmora::messages {

inline const std::string kSaveRestartQuestion =
    "This configuration is also installed as a running service. To update the configuration, "
    "the service will be also be stopped and restarted. Continue?";

inline std::string uninstallRunningQuestion(const std::string& name) {
    return "The service \"" + name + "\" is running. Uninstalling it stops Tomcat and removes the service. Continue?";
}

inline std::string restartForChangeQuestion(const std::string& name) {
    return "The service \"" + name + "\" runs with the values it started with until it restarts. Restart it now?";
}

inline std::string takesEffectAtNextStart(const std::string& name) {
    return " The running service \"" + name + "\" takes the change at its next start.";
}

inline std::string noPasswordGiven(const std::string& account) {
    return "No password was given for " + account + "; nothing was changed.";
}

inline std::string passwordNotAccepted(const std::string& account, const std::string& why) {
    return "Windows did not take the password for " + account + ": " + why + " Nothing was changed.";
}

// A move to another home or JDK refused for what the check before it found, a problem a line.
inline std::string moveWouldMeet(const std::string& what, const std::vector<Finding>& findings) {
    std::string text =
        "Nothing was changed: " + what + " would meet " + std::to_string(findings.size()) + " problem(s):";
    for (const auto& finding : findings) text += "\r\n" + finding.message;
    return text;
}

inline const std::string kDeleteInstalledQuestion =
    "This configuration is also installed as a service. If you delete the configuration, "
    "the service will be also be deleted. Continue?";

// The window's own words for a save and a delete, and the command line's.
inline std::string instanceSaved(const std::string& name) { return "Instance saved as \"" + name + "\"."; }
inline std::string instanceDeleted(const std::string& name) { return "Deleted instance \"" + name + "\"."; }
inline std::string configurationSaved(const std::string& name) { return "Configuration \"" + name + "\" saved."; }
inline std::string configurationDeleted(const std::string& name, bool serviceRemoved) {
    return "Configuration \"" + name + "\" deleted" + (serviceRemoved ? ", and its service removed." : ".");
}

inline std::string replaceStoredQuestion(const std::string& storedName) {
    return "A configuration named \"" + storedName + "\" is already stored. Replace it with this one?";
}

inline std::string listedButMissing(const std::string& name) {
    return "The configuration \"" + name +
           "\" is listed, but its values are missing from the registry. It opens "
           "with empty values; use File > Delete to take it off the list.";
}

inline std::string unusableStoredValue(const std::string& name, const std::string& value, const std::string& type) {
    return "The value \"" + value + "\" of the configuration \"" + name + "\" is not " + type +
           ", so it opens empty. Save the configuration to store it afresh.";
}

inline std::string reportQuestion(const std::string& reportPath) {
    return "A potential configuration error has been detected and a diagnostic report is being launched. "
           " Click 'OK' to continue anyway or 'Cancel' to abort.\r\n\r\n"
           "(Note: if the report does not launch automatically, you can view it at \"" +
           reportPath + "\"";
}

inline const std::string kUnwrittenReportQuestion =
    "The check found the problems shown before, and its diagnostic report could not be written. Click 'OK' to "
    "continue anyway or 'Cancel' to abort.";

inline std::string reportNotWritten(const std::string& path, const std::string& reason) {
    return "The diagnostic report could not be written to '" + path + "': " + reason +
           "\r\n\r\nCheck that the program's folder exists and that you may write to it.";
}

inline std::string unknownStoredWord(const std::string& name, const std::string& value, const std::string& word,
                                     const std::string& opensAs) {
    return "The value \"" + visibleText(word) + "\" of \"" + value + "\" of the configuration \"" + name +
           "\" is not one Velmora knows, so it opens as " + opensAs + ".";
}

inline std::string valueNotStored(const std::string& label, const std::string& value, const std::string& problem) {
    return "The value \"" + visibleText(value) + "\" was not stored in " + label + ": " + problem + ".";
}

// How a stored value that could not be read is given afresh from the command line.
inline std::string giveUnreadableWithSet(const std::string& name) {
    return "give it with velmora-cli set " + name + " FIELD=VALUE --force first.";
}

inline std::string holdingsNotRead(const std::string& name, const std::string& reason) {
    return "What the service \"" + name + "\" holds could not be read: " + reason + " Nothing was changed.";
}

inline std::string takeOverQuestion(const std::string& name, const std::string& programLine, std::size_t notKept) {
    std::string text = "Take over the service \"" + name + "\" (it runs " + programLine +
                       ") as Velmora's? Velmora stores the configuration \"" + name +
                       "\" with the values the service holds now and marks the service as its own; the service "
                       "itself does not change and keeps running. From then on Velmora changes, restarts and removes "
                       "it as it does a service it installed.";
    if (notKept > 0)
        text += " " + std::to_string(notKept) +
                " value(s) the service holds cannot be kept in the configuration (shown with it); Velmora gives its "
                "own when it sets them.";
    return text + " Continue?";
}

inline std::string serviceChangedWhileAsked(const std::string& name, const std::string& programLine) {
    return "The service \"" + name + "\" changed while the question waited: it now runs " + programLine +
           ". Nothing was changed; look at it again before taking it over.";
}

inline std::string serviceTakenOver(const std::string& name) {
    return "The service \"" + name + "\" is Velmora's now, stored as the configuration \"" + name +
           "\"; it runs as it did.";
}

inline std::string uninstallAdoptedQuestion(const std::string& name, bool running) {
    return "The service \"" + name +
           "\" was not created by Velmora: it was made elsewhere and taken over as it was. Uninstalling " +
           (running ? "stops Tomcat and " : "") + "removes the service. Continue?";
}

inline std::string serviceDiffers(const std::string& name, const StoredField& field, const std::string& stored,
                                  const std::string& held) {
    const auto shown = [](const std::string& text) {
        return text.empty() ? "nothing" : "\"" + visibleText(text) + "\"";
    };
    return "The service \"" + name + "\" holds " + shown(held) + " as " + field.label + " (" + field.name +
           "), the stored configuration " + shown(stored) +
           ": it was changed past Velmora. velmora-cli apply gives the service the stored value again.";
}

inline std::string serviceLeftAlone(const std::string& name) {
    return "The configuration \"" + name + "\" is no longer marked as installed; its service was left as it is.";
}

inline std::string relativePathRefusal(const std::string& path) {
    return "The path " + path +
           " is not a full path: the service would look for it from its own folder. Give the full path (C:\\...); "
           "nothing was changed.";
}

}  // namespace velmora::messages
