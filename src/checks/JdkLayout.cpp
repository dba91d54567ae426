#include "checks/JdkLayout.h"

#include <cctype>

#include "checks/PathRules.h"
#include "service/WrapperKind.h"

namespace velmora {

namespace {
constexpr std::size_t kReleaseFileBytes = 4096;

int leadingInteger(const std::string& text, std::size_t at) {
    int number = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && number < 100000; ++at)
        number = number * 10 + (text[at] - '0');
    return number;
}
}  // namespace

int javaFeatureVersion(const std::string& releaseText) {
    const std::string key = "JAVA_VERSION=";
    std::size_t at = 0;
    // The key must start a line; IMPLEMENTOR_VERSION and the like do not count.
    while ((at = releaseText.find(key, at)) != std::string::npos && at > 0 && releaseText[at - 1] != '\n') ++at;
    if (at == std::string::npos) return 0;
    at += key.size();
    if (at < releaseText.size() && releaseText[at] == '"') ++at;
    if (releaseText.compare(at, 2, "1.") == 0) return leadingInteger(releaseText, at + 2);
    return leadingInteger(releaseText, at);
}

std::string defaultClassPathFor(const std::string& catalinaHome, const std::string& javaHome, Files& files) {
    const auto release = files.readBytes(javaHome + "\\release", kReleaseFileBytes);
    const bool modular = release && javaFeatureVersion(*release) >= 9;
    const bool withToolsJar = !modular || files.fileExists(javaHome + "\\lib\\tools.jar");
    return wrapperKindFor(catalinaHome, files)->defaultClassPath(catalinaHome, javaHome, withToolsJar);
}

std::string jvmLibraryFor(const Configuration& c, Files& files) {
    return jvmLibraryPath(c.javaHome, c.jvmType, [&files](const std::string& path) { return files.fileExists(path); });
}

}  // namespace velmora
