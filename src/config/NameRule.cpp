#include "config/NameRule.h"

#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

namespace {
constexpr std::size_t kMaxKeyName = 255;
constexpr std::size_t kMaxPath = 260;
const std::string kForbidden = "\\/:*?\"<>|";

std::string refused(const std::string& name, const std::string& why) {
    return "The Service Name \"" + name + "\" cannot be used: " + why + " Enter another name and try again.";
}

std::string shortened(const std::string& name, std::size_t units) {
    const std::u16string wide = toUtf16(name);
    return wide.size() <= units ? name : fromUtf16(wide.substr(0, units)) + "...";
}
}  // namespace

std::string unusableNameReason(const std::string& name) {
    if (name.empty())
        return "The Service Name is empty. A configuration and its service need a name: enter one in the "
               "Service Name box and try again.";
    if (name.find('\\') != std::string::npos)
        return refused(name, "a configuration or service name must not contain a backslash (\\).");
    return {};
}

std::string nameRuleViolation(const std::string& name, const std::string& catalinaHome) {
    if (std::string reason = unusableNameReason(name); !reason.empty()) return reason;
    if (utf16Length(name) > kMaxKeyName) return refused(shortened(name, 40), "a name may have at most 255 characters.");
    if (firstHiddenCharacter(name))
        return refused(visibleText(name), "a name must not contain control characters or bidirectional overrides.");
    for (unsigned char c : name) {
        if (c == ' ')
            return refused(name,
                           "a name must not contain blanks (the service wrapper's command line cannot carry them).");
        if (kForbidden.find(static_cast<char>(c)) != std::string::npos)
            return refused(name, "a name must not contain any of \\ / : * ? \" < > |.");
        // The service manager puts environment variables into a program line at each start: app%OS% would run
        // as appWindows_NT, which is no service.
        if (c == '%')
            return refused(name,
                           "a name must not contain % (the service manager would read %...% in its program line "
                           "as an environment variable).");
    }
    if (name == "." || name == "..") return refused(name, "\".\" and \"..\" name folders, not services.");
    if (sameName(name, "tomcat"))
        return refused(name, "\"tomcat\" is the name of the container's own service wrapper (bin\\tomcat.exe).");
    if (isDeviceName(name))
        return refused(name,
                       "Windows keeps this name for a device (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9), so "
                       "bin\\" +
                           name + ".exe would not be a file.");
    const std::size_t wrapperPath = utf16Length(catalinaHome + "\\bin\\" + name + ".exe");
    if (wrapperPath >= kMaxPath)
        return refused(name, "the wrapper copy bin\\" + shortened(name, 20) +
                                 ".exe would need a path longer than Windows allows (260 characters).");
    return {};
}

}  // namespace velmora
