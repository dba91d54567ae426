#pragma once
#include <string>
#include <vector>

namespace velmora {

// Every non-overlapping occurrence of `search`, exact case, left to right.
std::string replaceAll(const std::string& text, const std::string& search, const std::string& replacement);

struct ClassPathEntry {
    std::string path;  // lower-cased
    bool isJar;        // checked as a file; otherwise as a folder
};
// The class-path pieces worth checking: split at ";", lower-cased, pieces of
// three characters or fewer skipped.
std::vector<ClassPathEntry> classPathEntries(const std::string& classPath);

}  // namespace velmora
