#include "config/JdkLookup.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "platform/WindowsPaths.h"

namespace velmora {

namespace {
constexpr RegistryView kViews[] = {RegistryView::Bits64, RegistryView::Bits32};

std::vector<unsigned long> versionNumbers(const std::string& name) {
    std::vector<unsigned long> numbers;
    for (std::size_t i = 0; i < name.size();) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            ++i;
            continue;
        }
        unsigned long number = 0;
        for (; i < name.size() && std::isdigit(static_cast<unsigned char>(name[i])); ++i)
            number = std::min(number * 10 + static_cast<unsigned long>(name[i] - '0'), 999999999ul);
        numbers.push_back(number);
    }
    return numbers;
}

class Lookup {
public:
    explicit Lookup(Registry& registry) : registry_(registry) {}

    // "CurrentVersion" names the subkey that holds "JavaHome".
    std::string currentVersionHome(const std::string& key, RegistryView view) {
        const std::string version = text(key, "CurrentVersion", view);
        return version.empty() ? std::string() : text(key + "\\" + version, "JavaHome", view);
    }

    // One subkey per installed version; the newest one's home.
    std::string newestVersionHome(const std::string& key, const std::vector<std::string>& below,
                                  const std::string& value, RegistryView view) {
        const std::string newest = newestVersionName(registry_.subkeysInView(kRoot, key, view));
        if (newest.empty()) return {};
        for (const auto& path : below)
            if (std::string home = text(key + "\\" + newest + path, value, view); !home.empty()) return home;
        return {};
    }

private:
    static constexpr RootKey kRoot = kLocalMachine;
    std::string text(const std::string& key, const std::string& name, RegistryView view) {
        return registry_.readTextInView(kRoot, key, name, view).value_or("");
    }
    Registry& registry_;
};
}  // namespace

std::string withoutTrailingBackslash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

std::string newestVersionName(const std::vector<std::string>& names) {
    const auto newest = std::max_element(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return versionNumbers(a) < versionNumbers(b);
    });
    return newest == names.end() ? std::string() : *newest;
}

std::vector<RegisteredJdk> registeredJdks(Registry& registry) {
    std::vector<RegisteredJdk> found;
    auto add = [&](const std::string& version, std::string home) {
        home = withoutTrailingBackslash(home);
        if (home.empty()) return;
        for (const auto& known : found)
            if (known.javaHome == home) return;
        found.push_back({version, home});
    };
    auto each = [&](const std::string& key, const std::vector<std::string>& below, const std::string& value) {
        for (RegistryView view : kViews)
            for (const auto& version : registry.subkeysInView(kLocalMachine, key, view))
                for (const auto& path : below)
                    add(version,
                        registry.readTextInView(kLocalMachine, key + "\\" + version + path, value, view).value_or(""));
    };
    each("SOFTWARE\\JavaSoft\\JDK", {""}, "JavaHome");
    each("SOFTWARE\\JavaSoft\\Java Development Kit", {""}, "JavaHome");
    each("SOFTWARE\\Eclipse Adoptium\\JDK", {"\\hotspot\\MSI", "\\openj9\\MSI"}, "Path");
    each("SOFTWARE\\Microsoft\\JDK", {"\\hotspot\\MSI"}, "Path");
    each("SOFTWARE\\Azul Systems\\Zulu", {""}, "InstallationPath");
    return found;
}

int javaMajorOfName(const std::string& name) {
    // A home written with a separator at its end ("C:\Java\jdk-21\", as JAVA_HOME often is) is named by the
    // part before it.
    const std::vector<unsigned long> numbers = versionNumbers(lastPathPart(withoutTrailingBackslash(name)));
    if (numbers.empty()) return 0;
    if (numbers[0] == 1 && numbers.size() > 1) return static_cast<int>(numbers[1]);
    return numbers[0] > 1000 ? 0 : static_cast<int>(numbers[0]);
}

std::string registeredJavaHome(Registry& registry) {
    Lookup lookup(registry);
    std::string home;
    for (RegistryView view : kViews)
        if (home.empty()) home = lookup.currentVersionHome("SOFTWARE\\JavaSoft\\JDK", view);
    if (home.empty())
        home = lookup.currentVersionHome("SOFTWARE\\JavaSoft\\Java Development Kit", RegistryView::Bits32);
    // Adoptium and Microsoft keep one key per version and JVM, the folder in its MSI subkey.
    const std::vector<std::string> msiPath = {"\\hotspot\\MSI", "\\openj9\\MSI"};
    for (const char* key : {"SOFTWARE\\Eclipse Adoptium\\JDK", "SOFTWARE\\Microsoft\\JDK"})
        for (RegistryView view : kViews)
            if (home.empty()) home = lookup.newestVersionHome(key, msiPath, "Path", view);
    for (RegistryView view : kViews)
        if (home.empty())
            home = lookup.newestVersionHome("SOFTWARE\\Azul Systems\\Zulu", {""}, "InstallationPath", view);
    return withoutTrailingBackslash(home);
}

}  // namespace velmora
