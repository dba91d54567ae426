#pragma once
#include <string>

namespace velmora::messages {

inline const std::string kConfirmTitle = "Confirm";
inline const std::string kInfoTitle = "Info";

inline const std::string kSaveRestartQuestion =
    "This configuration is also installed as a running service. To update the configuration, "
    "the service will be also be stopped and restarted. Continue?";

inline const std::string kDeleteInstalledQuestion =
    "This configuration is also installed as a service. If you delete the configuration, "
    "the service will be also be deleted. Continue?";

inline std::string instanceSaved(const std::string& name) { return "Instance saved as \"" + name + "\"."; }
inline std::string instanceDeleted(const std::string& name) { return "Deleted instance \"" + name + "\"."; }

inline std::string replaceStoredQuestion(const std::string& storedName) {
    return "A configuration named \"" + storedName + "\" is already stored. Replace it with this one?";
}
inline std::string listedButMissing(const std::string& name) {
    return "The configuration \"" + name + "\" is listed, but its values are missing from the registry. It opens "
           "with empty values; use File > Delete to take it off the list.";
}

}  // namespace velmora::messages
