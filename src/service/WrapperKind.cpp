#include "service/WrapperKind.h"

#include <algorithm>
#include <cctype>

#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "service/ClassicWrapper.h"
#include "service/ModernWrapper.h"

namespace velmora {

std::unique_ptr<WrapperKind> wrapperKindFor(const TomcatLayout& layout, Files& files) {
    if (layout.family == WrapperFamily::Modern) return std::make_unique<ModernWrapper>(files, layout.wrapperProgram);
    return std::make_unique<ClassicWrapper>(files);
}

std::uint32_t heldStopTimeout(const WrapperKind& kind, std::uint32_t stopTimeoutSeconds) {
    return kind.takesStopTimeout() ? stopTimeoutSeconds : 0;
}

InstalledWrapper installedWrapperOf(const std::string& programLine, Files& files) {
    const std::string program = programOfBinaryPath(programLine);
    const auto bin = program.find_last_of("\\/");
    const auto home = bin == std::string::npos ? std::string::npos : program.find_last_of("\\/", bin - 1);
    const std::string catalinaHome = home == std::string::npos || bin == 0 ? std::string() : program.substr(0, home);
    if (programLine.find(" //RS//") != std::string::npos)
        return {std::make_shared<ModernWrapper>(files, program), catalinaHome};
    return {std::make_shared<ClassicWrapper>(files), catalinaHome};
}

bool sameProgram(const std::string& lineA, const std::string& lineB) {
    return samePlace(programOfBinaryPath(lineA), programOfBinaryPath(lineB));
}

bool sameProgramLine(const std::string& lineA, const std::string& lineB) {
    // What follows the program, as the wrapper reads its arguments: blanks around them count for nothing.
    const auto arguments = [](const std::string& line) {
        const std::string program = programOfBinaryPath(line);
        const auto start = line.find_first_not_of(" \t");
        const auto after = start + program.size() + (start != std::string::npos && line[start] == '"' ? 2 : 0);
        return start == std::string::npos || after >= line.size() ? std::string() : trimmed(line.substr(after));
    };
    return sameProgram(lineA, lineB) && sameName(arguments(lineA), arguments(lineB));
}

std::string programOfBinaryPath(const std::string& binaryPath) {
    const auto start = binaryPath.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    if (binaryPath[start] == '"') {
        const auto close = binaryPath.find('"', start + 1);
        return binaryPath.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
    }
    // Unquoted, a path with blanks is cut at the ".exe" that ends a token.
    std::string lower(binaryPath.size(), ' ');
    std::transform(binaryPath.begin(), binaryPath.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (auto at = lower.find(".exe", start); at != std::string::npos; at = lower.find(".exe", at + 1))
        if (at + 4 == lower.size() || lower[at + 4] == ' ' || lower[at + 4] == '\t')
            return binaryPath.substr(start, at + 4 - start);
    const auto blank = binaryPath.find_first_of(" \t", start);
    return binaryPath.substr(start, blank == std::string::npos ? std::string::npos : blank - start);
}

}  // namespace velmora
