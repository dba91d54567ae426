#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/ConfigurationFields.h"
#include "config/TomcatLayout.h"
#include "platform/Files.h"

namespace velmora {

// The Tomcat version a Catalina home declares. Major 0: not known.
struct TomcatVersion {
    int major = 0;
    int minor = -1;  // -1: only the major version is known
    std::string text;
    bool known() const { return major > 0; }
};

// For the layout of Tomcat 7 and later, what the home's RELEASE-NOTES
// declares ("Apache Tomcat Version 10.1.34") when its major version is the
// one in the wrapper's name (bin\tomcat10.exe), else that major version
// alone. For the classic layout, what the notes declare below 7; otherwise
// not known.
TomcatVersion tomcatVersionOf(const std::string& catalinaHome, const TomcatLayout& layout, Files& files);
// The same, of the layout found at the home.
TomcatVersion tomcatVersionAt(const std::string& catalinaHome, Files& files);
// The version's number alone ("10.1.34"), nothing of what follows it.
TomcatVersion tomcatVersionFromReleaseNotes(const std::string& text);

// The options for Java 9 and later that Tomcat's own service script passes
// on its install command (its --JvmOptions9 entries, and the fixed entries
// of its --JvmOptions); nothing when that command has none.
std::optional<std::vector<std::string>> serviceScriptJvmOptions9(const std::string& serviceBat);
// The same, as each branch's script passes them.
std::vector<std::string> branchJvmOptions9(const TomcatVersion& version);
// The oldest Java a branch runs on: 9.0 and 10.0 need 8, 10.1 11, 11.0 17,
// 12 and later 21; 0 when the version is not known well enough to tell.
int javaBaselineOf(const TomcatVersion& version);
// Whether an AJP connector without an address listens on the loopback
// address rather than on every one: so from 9.0.31, 8.5.51 and 7.0.100 on,
// and in 10 and later; not when the release is not known to the patch.
bool ajpListensOnLoopback(const TomcatVersion& version);

struct JvmOptions9 {
    std::vector<std::string> options;
    std::string script;  // the home's bin\service.bat they come from; empty: the branch's own list
};
// The home's own script when it has one, else the branch's.
JvmOptions9 jvmOptions9For(const std::string& catalinaHome, const TomcatVersion& version, Files& files);
// What the configuration's wrapper is given for Java 9 and later: nothing on
// the classic road, whose wrapper takes no such list.
std::optional<JvmOptions9> wrapperJvmOptions9(const Configuration& c, Files& files);
// The script's entries that must not go to the wrapper: one holding a single
// quote, with which the wrapper quotes the entries of its list, cannot reach
// the JVM whole; one holding a control character or a bidirectional override
// is not passed on.
std::vector<std::string> unusableScriptOptions(const JvmOptions9& options);
// Where the options come from and what they are, one line each, for a notice and the report.
std::vector<std::string> jvmOptions9Lines(const JvmOptions9& options);
std::string unusableScriptOptionMessage(const std::string& option, const std::string& script);

// The feature version of the JDK in that folder by its release file; 0 when not known.
int jdkFeatureVersionOf(const std::string& javaHome, Files& files);
// Why the security manager cannot run on this Tomcat or JDK; empty when it can.
std::string securityManagerRefusal(const TomcatVersion& tomcat, int jdkFeature, const std::string& javaHome);
// Why the JDK cannot run a client JVM (64-bit JDKs bring none); empty when it can.
std::string clientJvmRefusal(const std::string& javaHome, Files& files);

// Why the classic wrapper of that home cannot start that JDK (Java 9 and later); empty when it can.
std::string classicWrapperJdkRefusal(const std::string& catalinaHome, const std::string& javaHome, int jdkFeature,
                                     Files& files);

// A choice of a configuration that its Tomcat or JDK cannot run, and why.
struct UnrunnableChoice {
    Field field;
    std::string why;
};
// The security manager where Tomcat or the JDK refuses it, a client JVM where the JDK has none.
std::vector<UnrunnableChoice> unrunnableChoices(const Configuration& c, const TomcatVersion& tomcat, int jdkFeature,
                                                Files& files);
bool hasClientJvm(const std::string& javaHome, Files& files);

}  // namespace velmora
