#pragma once
#include <functional>
#include <string>
#include <vector>

namespace velmora {

// home\bin\bootstrap.jar;home\common\lib;java\lib\tools.jar, without the
// last entry (and its ";") when the JDK has no tools.jar to offer.
std::string defaultClassPath(const std::string& catalinaHome, const std::string& javaHome, bool withToolsJar = true);

// Every non-overlapping occurrence of `search`, exact case, left to right.
std::string replaceAll(const std::string& text, const std::string& search, const std::string& replacement);

struct ClassPathEntry {
    std::string path;  // lower-cased
    bool isJar;        // checked as a file; otherwise as a folder
};
// The class-path pieces worth checking: split at ";", lower-cased, pieces of
// three characters or fewer skipped.
std::vector<ClassPathEntry> classPathEntries(const std::string& classPath);

std::string jvmLibraryPath(const std::string& javaHome, const std::string& jvmType);
// The same, except on a JDK 9 or later without a jre folder: when only
// java\bin\<type>\jvm.dll exists, that one.
std::string jvmLibraryPath(const std::string& javaHome, const std::string& jvmType,
                           const std::function<bool(const std::string&)>& fileExists);

}  // namespace velmora
