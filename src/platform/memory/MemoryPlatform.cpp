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

Outcome MemoryFiles::createFolders(const std::string& path) {
    if (path.empty()) return Failure{"CreateDirectoryA", "The system cannot find the path specified.", 3};
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        if (at > 0 && path[at - 1] != ':') folders.insert(path.substr(0, at));
    folders.insert(path);
    return std::nullopt;
}

std::optional<std::string> MemoryFiles::readBytes(const std::string& path, std::size_t maxBytes) {
    auto it = files.find(path);
    if (it == files.end() || locked.count(path)) return std::nullopt;
    return it->second.substr(0, maxBytes);
}

Outcome MemoryFiles::appendText(const std::string& path, const std::string& text) {
    if (locked.count(path)) return Failure{"MemoryFiles", "Permission denied", 70};
    files[path] += text;
    return std::nullopt;
}

int MemoryProcesses::runHiddenAndWait(const std::string& program, const std::string& commandLine,
                                      unsigned waitMs) {
    if (!files_.fileExists(program)) return -1;
    ran.push_back(commandLine);
    programs.push_back(program);
    if (auto it = runsForMs.find(commandLine); it != runsForMs.end() && it->second > waitMs) return kStillActive;
    if (onRun) onRun(commandLine);
    if (auto it = exitCodes.find(commandLine); it != exitCodes.end()) return it->second;
    return sameName(program, netProgram_) ? runNet(commandLine) : 0;
}

// net.exe's answers: 0 when the service changed state, 2 otherwise.
int MemoryProcesses::runNet(const std::string& commandLine) {
    const bool start = commandLine.rfind("net start \"", 0) == 0;
    const bool stop = commandLine.rfind("net stop \"", 0) == 0;
    const auto open = commandLine.find('"');
    const std::string name = commandLine.substr(open + 1, commandLine.size() - open - 2);
    auto it = services_.services.find(name);
    if ((!start && !stop) || it == services_.services.end() || it->second.started == start) return 2;
    it->second.started = start;
    return 0;
}

Outcome MemoryProcesses::openDocument(const std::string& path) {
    if (!files_.fileExists(path)) return Failure{"ShellExecuteA", "The system cannot find the file specified.", 2};
    opened.push_back(path);
    return std::nullopt;
}

std::variant<bool, Failure> MemoryServices::isStarted(const std::string& serviceName) {
    ++queries;
    auto it = services.find(serviceName);
    if (it == services.end()) return Failure{"OpenServiceA", "The specified service does not exist as an installed service.", 1060};
    return it->second.started;
}

ServiceLookup MemoryServices::binaryPath(const std::string& serviceName) {
    auto it = services.find(serviceName);
    if (it == services.end()) return std::optional<std::string>();
    return std::optional<std::string>(it->second.binaryPath);
}

MemoryPlatform::MemoryPlatform() { files.addFile(environment.systemFolder() + "\\net.exe", "net"); }

std::string MemoryEnvironment::absolutePath(const std::string& path) {
    const bool absolute = (path.size() > 1 && path[1] == ':') || path.rfind("\\\\", 0) == 0;
    if (path.empty() || absolute) return path;
    return currentFolder + "\\" + path;
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
