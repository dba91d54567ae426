#include "checks/PathRules.h"

#include <algorithm>
#include <cctype>

#include "platform/Text.h"
#include "platform/WindowsPaths.h"

namespace velmora {

std::string replaceAll(const std::string& text, const std::string& search, const std::string& replacement) {
    if (search.empty()) return text;
    std::string result;
    std::string::size_type from = 0;
    for (auto at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
        result.append(text, from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string classPathForJdk(const std::string& classPath, const std::string& oldJavaHome,
                            const std::string& newJavaHome, bool withToolsJar) {
    std::vector<std::string> entries;
    for (std::string::size_type start = 0; start <= classPath.size();) {
        auto end = classPath.find(';', start);
        if (end == std::string::npos) end = classPath.size();
        entries.push_back(classPath.substr(start, end - start));
        start = end + 1;
    }
    if (classPath.empty()) entries.clear();
    const std::string oldTools = oldJavaHome + "\\lib\\tools.jar";
    auto at = std::find_if(entries.begin(), entries.end(), [&](const std::string& e) { return samePath(e, oldTools); });
    if (at != entries.end()) at = entries.erase(at);
    if (withToolsJar) entries.insert(at, newJavaHome + "\\lib\\tools.jar");
    std::string joined;
    for (std::size_t i = 0; i < entries.size(); ++i) joined += (i ? ";" : "") + entries[i];
    return joined;
}

Configuration movedToHome(const Configuration& c, const std::string& newHome, const std::string& oldOwnClassPath,
                          const std::string& newOwnClassPath) {
    Configuration moved = c;
    moved.catalinaHome = newHome;
    if (sameName(c.classPath, oldOwnClassPath)) {
        moved.classPath = newOwnClassPath;
        return moved;
    }
    const std::string oldFolder = c.catalinaHome + "\\";
    std::string classPath;
    for (std::string::size_type start = 0; start <= c.classPath.size();) {
        auto end = c.classPath.find(';', start);
        if (end == std::string::npos) end = c.classPath.size();
        std::string entry = c.classPath.substr(start, end - start);
        if (entry.size() > oldFolder.size() && sameName(entry.substr(0, oldFolder.size()), oldFolder))
            entry = newHome + "\\" + entry.substr(oldFolder.size());
        classPath += (start ? ";" : "") + entry;
        start = end + 1;
    }
    moved.classPath = classPath;
    return moved;
}

StartRefusal startRefusal(const Configuration& c) {
    if (c.initialHeapSize && c.maxHeapSize && c.initialHeapSize > c.maxHeapSize)
        return {"The initial heap size (" + std::to_string(c.initialHeapSize) +
                    " MB) is larger than the maximum heap size (" + std::to_string(c.maxHeapSize) +
                    " MB): the JVM would not start. Make the initial heap size no larger than the maximum.",
                Field::InitialHeapSize};
    for (std::string::size_type start = 0; start <= c.classPath.size();) {
        auto end = c.classPath.find(';', start);
        if (end == std::string::npos) end = c.classPath.size();
        if (sameName(lastPathPart(c.classPath.substr(start, end - start)), "bootstrap.jar")) return {};
        start = end + 1;
    }
    return {"The class path holds no bootstrap.jar, so Tomcat's start class would not be found: put " + c.catalinaHome +
                "\\bin\\bootstrap.jar on it.",
            Field::ClassPath};
}

std::vector<ClassPathEntry> classPathEntries(const std::string& classPath) {
    std::vector<ClassPathEntry> entries;
    std::string::size_type start = 0;
    for (;;) {
        const auto semicolon = classPath.find(';', start);
        std::string piece =
            classPath.substr(start, semicolon == std::string::npos ? std::string::npos : semicolon - start);
        std::transform(piece.begin(), piece.end(), piece.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (utf16Length(piece) > 3) {
            const bool isJar = piece.compare(piece.size() - 4, 4, ".jar") == 0;
            entries.push_back({piece, isJar});
        }
        if (semicolon == std::string::npos) break;
        start = semicolon + 1;
    }
    return entries;
}

}  // namespace velmora
