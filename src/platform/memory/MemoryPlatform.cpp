#include "platform/memory/MemoryPlatform.h"

#include "platform/WindowsPaths.h"

namespace velmora {

namespace {
const Failure kNotFound{"MemoryFiles", "The system cannot find the file specified.", 2};
const Failure kDenied{"MemoryFiles", "Access is denied.", 5};
}  // namespace

bool MemoryFiles::fileExists(const std::string& path) {
    return !path.empty() && !isDevicePath(path) && files.count(path) > 0;
}

bool MemoryFiles::folderExists(const std::string& path) { return !path.empty() && folders.count(path) > 0; }

MaybeFailure MemoryFiles::copyFile(const std::string& from, const std::string& to) {
    if (!fileExists(from) || isDevicePath(to)) return kNotFound;
    if (samePath(from, to)) return Failure{"MemoryFiles", "The file cannot be copied onto itself.", 32};
    if (locked.count(to)) return kDenied;
    files[to] = files[from];
    return std::nullopt;
}

MaybeFailure MemoryFiles::deleteFile(const std::string& path) {
    ++deleteAttempts[path];
    if (isDevicePath(path)) return kNotFound;
    if (locked.count(path)) return kDenied;
    if (files.erase(path) == 0) return kNotFound;
    return std::nullopt;
}

MaybeFailure MemoryFiles::writeText(const std::string& path, const std::string& text) {
    if (locked.count(path) || isDevicePath(path)) return kDenied;
    files[path] = text;
    return std::nullopt;
}

MaybeFailure MemoryFiles::appendText(const std::string& path, const std::string& text) {
    if (locked.count(path) || isDevicePath(path)) return kDenied;
    files[path] += text;
    return std::nullopt;
}

MaybeFailure MemoryFiles::createFolders(const std::string& path) {
    if (path.empty()) return Failure{"CreateDirectoryW", "The system cannot find the path specified.", 3};
    if (uncreatable.count(path)) return Failure{"CreateDirectoryW", "Access is denied.", 5};
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        if (at > 0 && path[at - 1] != ':') folders.insert(path.substr(0, at));
    folders.insert(path);
    return std::nullopt;
}

std::optional<std::string> MemoryFiles::readBytes(const std::string& path, std::size_t maxBytes) {
    if (isDevicePath(path)) {
        deviceReads.push_back(path);
        return std::nullopt;
    }
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second.substr(0, maxBytes);
}

bool MemoryFiles::sameFile(const std::string& a, const std::string& b) {
    return fileExists(a) && fileExists(b) && samePath(a, b);
}

ProcessResult MemoryProcesses::run(const ProcessRun& run) {
    ProcessResult result;
    if (!files_.fileExists(run.program)) {
        result.failure = {"CreateProcessW", "The system cannot find the file specified.", 2};
        return result;
    }
    ran.push_back(run.commandLine);
    programs.push_back(run.program);
    if (hanging.count(run.commandLine) || unstoppable.count(run.commandLine)) {
        const bool ends = !unstoppable.count(run.commandLine);
        if (ends) stoppedAtBound.push_back(run.commandLine);
        // A program that still runs cannot be deleted or overwritten.
        if (!ends) files_.locked.insert(run.program);
        result.ending = ends ? ProcessResult::Ending::StoppedAtBound : ProcessResult::Ending::LeftRunning;
        return result;
    }
    if (onRun) onRun(run.commandLine);
    result.ending = ProcessResult::Ending::Exited;
    if (auto it = exitCodes.find(run.commandLine); it != exitCodes.end())
        result.exitCode = it->second;
    else if (samePath(run.program, netProgram_))
        result.exitCode = runNet(run.commandLine);
    if (auto it = outputs.find(run.commandLine); it != outputs.end()) result.output = it->second;
    else if (result.exitCode != 0 && samePath(run.program, netProgram_))
        result.output = "net: the service is not in a state that allows this.\r\n";
    return result;
}

// net.exe's answers: 0 when the service changed state, 2 otherwise.
std::uint32_t MemoryProcesses::runNet(const std::string& commandLine) {
    const bool start = commandLine.rfind("net start \"", 0) == 0;
    const bool stop = commandLine.rfind("net stop \"", 0) == 0;
    const auto open = commandLine.find('"');
    if ((!start && !stop) || open == std::string::npos || commandLine.size() < open + 2) return 2;
    const std::string name = commandLine.substr(open + 1, commandLine.size() - open - 2);
    auto it = services_.services.find(name);
    if (it == services_.services.end() || it->second.started == start) return 2;
    it->second.started = start;
    return 0;
}

MaybeFailure MemoryProcesses::openDocument(const std::string& path) {
    if (!files_.fileExists(path)) return Failure{"ShellExecuteExW", "The system cannot find the file specified.", 2};
    opened.push_back(path);
    return std::nullopt;
}

std::variant<bool, Failure> MemoryServices::isStarted(const std::string& serviceName) {
    ++queries;
    auto it = services.find(serviceName);
    if (it == services.end())
        return Failure{"OpenServiceW", "The specified service does not exist as an installed service.", 1060};
    return it->second.started;
}

ServiceLookup MemoryServices::binaryPath(const std::string& serviceName) {
    ++queries;
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

}  // namespace velmora
