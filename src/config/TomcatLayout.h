#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "platform/Environment.h"
#include "platform/Files.h"

namespace velmora {

// Which service wrapper a Catalina home brings: bin\tomcat.exe of the old
// Catalina layout, or bin\tomcat<N>.exe of Tomcat 7 and later.
enum class WrapperFamily { Classic, Modern };

struct TomcatLayout {
    WrapperFamily family = WrapperFamily::Classic;
    std::string wrapperProgram;  // the wrapper as Tomcat ships it
};

// bin\tomcat<N>.exe (the highest N from 7 on) when there is such a file and
// no bin\tomcat.exe; otherwise bin\tomcat.exe. An empty home is looked at not at all.
TomcatLayout tomcatLayoutOf(const std::string& catalinaHome, Files& files);
// N of a wrapper named tomcat<N>.exe in any case, N from 7 on; 0 for any other name.
int modernWrapperMajor(const std::string& program);

// A new configuration's class path: bootstrap.jar and common\lib with the
// JDK's tools.jar for the old layout (without it when the JDK has none to
// offer), bootstrap.jar and tomcat-juli.jar for Tomcat 7 to 11.
std::string defaultClassPath(const TomcatLayout& layout, const std::string& catalinaHome, const std::string& javaHome,
                             bool withToolsJar);

// A file or folder of the layout that the report checks, with its label.
struct LayoutEntry {
    std::string path;
    std::string label;
    bool folder = false;
};
std::vector<LayoutEntry> layoutEntries(const TomcatLayout& layout, const Configuration& c);

// The feature version of the JDK whose "release" file this is: the first
// number of a JAVA_VERSION that starts a line, or the second for "1.x"
// (1.8.0_392 is 8); 0 when the text names none.
int javaFeatureVersion(const std::string& releaseText);
// Whether the JDK brings a lib\tools.jar for the class path: every JDK before
// 9 does; 9 and later only when the file is there.
bool jdkOffersToolsJar(const std::string& javaHome, Files& files);
// The JVM library the service loads: java\jre\bin\<type>\jvm.dll, or
// java\bin\<type>\jvm.dll on a JDK without a jre folder that has only that one.
std::string jvmLibraryPath(const std::string& javaHome, JvmType jvmType, Files& files);
// "The JDK at X has no server JVM library (path)" when that library is not
// there; empty when it is. A move to such a JDK is never made.
std::string missingJvmLibrary(const std::string& javaHome, JvmType jvmType, Files& files);

}  // namespace velmora

namespace velmora {

// A value that goes into the JVM option list of the Tomcat 7-11 wrapper,
// which separates entries at '#' and ';' and quotes with "'" and '"': an entry
// that holds a single quote, or a double quote without its pair, cannot reach
// the JVM whole.
struct UncarriedValue {
    std::string label;
    std::string value;
    bool noEnvironment = false;    // the classic wrapper hands the JVM no environment of its own
    char quote = '\'';             // a single quote cannot stand in an entry; a double quote must be paired
    bool outsideCodePage = false;  // the JVM reads its options in a code page that lacks one of its characters
};
// The quote that keeps one entry of such a list from reaching the JVM whole, if any.
std::optional<char> quoteTheWrapperListCannotCarry(const std::string& entry);
// Every value the service could not be given as it is: an entry the wrapper's
// list cannot carry whole, an environment the classic wrapper has no room for,
// or a character the code page for non-Unicode programs lacks (either wrapper
// hands the JVM its options in it, and the JVM would read '?' in its place).
std::vector<UncarriedValue> uncarriedValues(const TomcatLayout& layout, const Configuration& c,
                                            Environment& environment);
std::string uncarriedValueMessage(const UncarriedValue& value);

}  // namespace velmora
