#include "checks/PathRules.h"

#include <algorithm>
#include <cctype>

namespace velmora {

std::string defaultClassPath(const std::string& catalinaHome, const std::string& javaHome, bool withToolsJar) {
    const std::string catalina = catalinaHome + "\\bin\\bootstrap.jar;" + catalinaHome + "\\common\\lib";
    return withToolsJar ? catalina + ";" + javaHome + "\\lib\\tools.jar" : catalina;
}

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

std::vector<ClassPathEntry> classPathEntries(const std::string& classPath) {
    std::vector<ClassPathEntry> entries;
    std::string::size_type start = 0;
    for (;;) {
        const auto semicolon = classPath.find(';', start);
        std::string piece = classPath.substr(start, semicolon == std::string::npos ? std::string::npos : semicolon - start);
        std::transform(piece.begin(), piece.end(), piece.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (piece.size() > 3) {
            const bool isJar = piece.compare(piece.size() - 4, 4, ".jar") == 0;
            entries.push_back({piece, isJar});
        }
        if (semicolon == std::string::npos) break;
        start = semicolon + 1;
    }
    return entries;
}

std::string jvmLibraryPath(const std::string& javaHome, const std::string& jvmType) {
    return javaHome + "\\jre\\bin\\" + jvmType + "\\jvm.dll";
}

std::string jvmLibraryPath(const std::string& javaHome, const std::string& jvmType,
                           const std::function<bool(const std::string&)>& fileExists) {
    const std::string classic = jvmLibraryPath(javaHome, jvmType);
    const std::string modular = javaHome + "\\bin\\" + jvmType + "\\jvm.dll";
    return !fileExists(classic) && fileExists(modular) ? modular : classic;
}

}  // namespace velmora
