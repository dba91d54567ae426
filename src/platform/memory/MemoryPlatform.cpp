#include "platform/memory/MemoryPlatform.h"

namespace velmora {

bool MemoryFiles::fileExists(const std::string& path) { return !path.empty() && files.count(path) > 0; }

bool MemoryFiles::folderExists(const std::string& path) { return !path.empty() && folders.count(path) > 0; }

Outcome MemoryFiles::copyFile(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end()) return Failure{"MemoryFiles", "File not found", 53};
    if (locked.count(to)) return Failure{"MemoryFiles", "Permission denied", 70};
    files[to] = it->second;
    return std::nullopt;
}

Outcome MemoryFiles::deleteFileForced(const std::string& path) {
    ++deleteAttempts[path];
    if (locked.count(path)) return Failure{"MemoryFiles", "Permission denied", 70};
    if (files.erase(path) == 0) return Failure{"MemoryFiles", "File not found", 53};
    return std::nullopt;
}

Outcome MemoryFiles::writeText(const std::string& path, const std::string& text) {
    if (locked.count(path)) return Failure{"MemoryFiles", "Permission denied", 70};
    files[path] = text;
    return std::nullopt;
}

Outcome MemoryFiles::appendText(const std::string& path, const std::string& text) {
    if (locked.count(path)) return Failure{"MemoryFiles", "Permission denied", 70};
    files[path] += text;
    return std::nullopt;
}

std::optional<std::string> MemoryFiles::readFirstBytes(const std::string& path, std::size_t count) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.substr(0, count);
}

int MemoryProcesses::runHiddenAndWait(const std::string& commandLine, unsigned) {
    ran.push_back(commandLine);
    if (onRun) onRun(commandLine);
    auto it = exitCodes.find(commandLine);
    return it == exitCodes.end() ? 0 : it->second;
}

void MemoryProcesses::startHidden(const std::string& commandLine, const std::string& workingFolder) {
    started.push_back({commandLine, workingFolder});
}

std::variant<bool, Failure> MemoryServices::isStarted(const std::string& serviceName) {
    ++queries;
    auto it = started.find(serviceName);
    if (it == started.end()) return Failure{"MemoryServices", "The specified service does not exist", 1060};
    return it->second;
}

std::string MemoryEnvironment::variable(const std::string& name) {
    auto it = variables.find(name);
    return it == variables.end() ? std::string() : it->second;
}

int MemoryMessageBoxes::show(const std::string& text, int buttons, const std::string& title) {
    shown.push_back({text, buttons, title});
    if (auto it = answerByTitle.find(title); it != answerByTitle.end()) return it->second;
    if (!answers.empty()) {
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return (buttons & 0xF) == kMbYesNo ? kIdYes : kIdOk;
}

}  // namespace velmora
