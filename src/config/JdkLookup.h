#pragma once
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace velmora {

// Where an installed JDK registered itself, for when neither java_home nor
// "SOFTWARE\JavaSoft\Java Development Kit" names one: "SOFTWARE\JavaSoft\JDK"
// (JDK 9 and later), the old key in the 32-bit view, then the keys the
// Eclipse Adoptium, Microsoft and Azul Zulu installers write, each in the
// 64-bit view first. Empty when none is found; no trailing "\".
std::string registeredJavaHome(Registry& registry);

// Every JDK the installers registered, with the version its key names,
// from the same keys; a home registered twice is listed once.
struct RegisteredJdk {
    std::string version;
    std::string javaHome;
};
std::vector<RegisteredJdk> registeredJdks(Registry& registry);

// The feature version a version name or JDK folder name gives: the first
// number, or the second after "1." ("1.8.0_392" and "jdk1.8.0_392" are 8,
// "jdk-17.0.9.9-hotspot" is 17); 0 when it has none.
int javaMajorOfName(const std::string& name);

// A JDK's folder as a key names it, without the backslash some installers
// end it with (a drive's root keeps its own).
std::string withoutTrailingBackslash(std::string path);

// The name with the highest version numbers ("21.0.1.12" over "17.0.9.9",
// "zulu-21" over "zulu-8"); empty for an empty list.
std::string newestVersionName(const std::vector<std::string>& names);

}  // namespace velmora
