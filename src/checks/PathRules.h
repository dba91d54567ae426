#pragma once
#include <string>
#include <vector>

#include "config/Configuration.h"
#include "config/ConfigurationFields.h"

namespace velmora {

// Every non-overlapping occurrence of `search`, exact case, left to right.
std::string replaceAll(const std::string& text, const std::string& search, const std::string& replacement);

// The class path for another JDK: only what comes from the JDK changes (its
// lib\tools.jar, which a JDK 9 or later may not have); every other entry
// stays where it is. A tools.jar the old JDK did not bring goes at the end.
std::string classPathForJdk(const std::string& classPath, const std::string& oldJavaHome,
                            const std::string& newJavaHome, bool withToolsJar);

// The configuration moved to another Catalina home for an upgrade: the class
// path follows the home (the new home's own when it was the old home's own,
// else each entry below the old home moved), the base and every other field stay.
Configuration movedToHome(const Configuration& c, const std::string& newHome, const std::string& oldOwnClassPath,
                          const std::string& newOwnClassPath);

// Why Tomcat would not start with these values whatever the machine holds,
// and the field to change: an initial heap above the maximum, a class path
// without bootstrap.jar. No reason when it would.
struct StartRefusal {
    std::string why;
    Field field = Field::ClassPath;
};
StartRefusal startRefusal(const Configuration& c);

struct ClassPathEntry {
    std::string path;  // lower-cased
    bool isJar;        // checked as a file; otherwise as a folder
};
// The class-path pieces worth checking: split at ";", lower-cased, pieces of
// three characters or fewer skipped.
std::vector<ClassPathEntry> classPathEntries(const std::string& classPath);

}  // namespace velmora
