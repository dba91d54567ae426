#include "platform/memory/MemoryPlatform.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/WindowsPaths.h"

namespace velmora {

namespace {
const Failure kNotFound{"MemoryFiles", "The system cannot find the file specified.", 2};
const Failure kDenied{"MemoryFiles", "Access is denied.", 5};
const Failure kNoPath{"MemoryFiles", "The system cannot find the path specified.", 3};
const Failure kNoSuchService{"OpenServiceW", "The specified service does not exist as an installed service.", 1060};

// * and ? as Windows matches file names: without regard to case.
bool matchesPattern(const std::u16string& name, const std::u16string& pattern) {
    std::size_t n = 0, p = 0, star = std::u16string::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            mark = n;
        } else if (star != std::u16string::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}
}  // namespace

void MemoryClock::sleep(std::uint32_t milliseconds) {
    current += FileTime{milliseconds} * kTicksPerMillisecond;
    slept += milliseconds;
}

std::vector<ServiceManagerEvent> MemoryEventLog::serviceManagerEvents(FileTime since) {
    std::vector<ServiceManagerEvent> found;
    for (std::size_t i = 0; i < events.size(); ++i)
        if (events[i].written >= since) {
            found.push_back(events[i]);
            found.back().record = static_cast<std::uint32_t>(i + 1);  // numbered in the order written
        }
    return found;
}

MaybeFailure MemoryEventLog::write(const ProgramEvent& event) {
    if (failure) return failure;
    written.push_back(event);
    return std::nullopt;
}

std::variant<std::vector<Listener>, Failure> MemoryNetwork::listenersOn(std::uint16_t port) {
    if (failure) return *failure;
    std::vector<Listener> found;
    for (auto [at, end] = listening.equal_range(port); at != end; ++at) found.push_back(at->second);
    return found;
}

std::variant<bool, Failure> MemoryNetwork::accepts(const std::string& address, std::uint16_t port, std::uint32_t) {
    ++probes;
    if (failure) return *failure;
    if (unresolvable.count(address)) return Failure{"getaddrinfo", "No such host is known.", 11001};
    const auto it = accepting.find(address + ":" + std::to_string(port));
    return it != accepting.end() && (!clock || clock->now() >= it->second);
}

std::variant<int, Failure> MemoryNetwork::httpStatus(const std::string& address, std::uint16_t port,
                                                     const std::string& path, std::uint32_t timeoutMs) {
    const auto open = accepts(address, port, timeoutMs);
    if (const auto* failed = std::get_if<Failure>(&open)) return *failed;
    if (!std::get<bool>(open)) return 0;
    const std::string url = address + ":" + std::to_string(port) + path;
    const auto after = answerAfterMs.find(url);
    const std::uint32_t takes = after == answerAfterMs.end() ? 0 : after->second;
    if (clock && takes) clock->sleep(std::min(takes, timeoutMs));
    if (takes > timeoutMs) return 0;
    const auto it = answers.find(url);
    return it == answers.end() ? 404 : it->second;
}

// A path as Windows takes it: from the current folder, separators doubled or
// at the end counted once, "." and ".." walked.
std::string MemoryFiles::asWindowsTakes(const std::string& path) const {
    std::string absolute = path;
    if (!path.empty() && environment && !isAbsoluteWindowsPath(path)) {
        const std::string& current = environment->currentFolder;
        absolute = path[0] == '\\' ? current.substr(0, 2) + path : current + "\\" + path;
    }
    const std::string normalized = isDevicePath(absolute) ? std::string() : normalizedPath(absolute);
    return normalized.empty() ? absolute : normalized;
}

bool MemoryFiles::fileExists(const std::string& path) {
    return !path.empty() && !isDevicePath(path) && files.count(asWindowsTakes(path)) > 0;
}

bool MemoryFiles::folderExists(const std::string& path) {
    return !path.empty() && folders.count(asWindowsTakes(path)) > 0;
}

// A folder is there when it was made, or something lies in it; a drive's root and the current folder always are.
bool MemoryFiles::folderOfPathThere(const std::string& path) const {
    const auto cut = path.find_last_of('\\');
    if (cut == std::string::npos) return true;  // the current folder
    const std::string folder = path.substr(0, cut);
    return folder.size() <= 2 || folders.count(folder) ||
           (environment && samePath(folder, environment->currentFolder)) || holdsAnything(folder);
}

bool MemoryFiles::holdsAnything(const std::string& folder) const {
    const std::string below = folder + "\\";
    const auto inside = [&](const std::string& name) {
        return name.size() > below.size() && sameName(name.substr(0, below.size()), below);
    };
    const auto file = files.lower_bound(below);
    const auto made = folders.lower_bound(below);
    return (file != files.end() && inside(file->first)) || (made != folders.end() && inside(*made));
}

MaybeFailure MemoryFiles::copyFile(const std::string& givenFrom, const std::string& givenTo) {
    const std::string from = asWindowsTakes(givenFrom), to = asWindowsTakes(givenTo);
    if (!fileExists(from) || isDevicePath(to)) return kNotFound;
    if (!folderOfPathThere(to)) return kNoPath;
    if (samePath(from, to)) return Failure{"MemoryFiles", "The file cannot be copied onto itself.", 32};
    if (locked.count(to)) return kDenied;
    files[to] = files[from];
    touch(to);
    return std::nullopt;
}

MaybeFailure MemoryFiles::deleteFile(const std::string& given) {
    const std::string path = asWindowsTakes(given);
    ++deleteAttempts[path];
    if (isDevicePath(path)) return kNotFound;
    if (locked.count(path)) return kDenied;
    if (files.erase(path) == 0) return kNotFound;
    return std::nullopt;
}

MaybeFailure MemoryFiles::writeText(const std::string& given, const std::string& text) {
    const std::string path = asWindowsTakes(given);
    if (locked.count(path) || isDevicePath(path)) return kDenied;
    if (!folderOfPathThere(path)) return kNoPath;
    files[path] = text;
    touch(path);
    return std::nullopt;
}

MaybeFailure MemoryFiles::appendText(const std::string& given, const std::string& text) {
    const std::string path = asWindowsTakes(given);
    if (locked.count(path) || isDevicePath(path)) return kDenied;
    if (!folderOfPathThere(path)) return kNoPath;
    files[path] += text;
    touch(path);
    return std::nullopt;
}

MaybeFailure MemoryFiles::removeEmptyFolder(const std::string& given) {
    const std::string path = asWindowsTakes(given);
    if (!folders.count(path)) return kNotFound;
    if (holdsAnything(path)) return Failure{"RemoveDirectoryW", "The directory is not empty.", 145};
    folders.erase(path);
    return std::nullopt;
}

MaybeFailure MemoryFiles::createFolders(const std::string& given) {
    const std::string path = asWindowsTakes(given);
    if (path.empty()) return Failure{"CreateDirectoryW", "The system cannot find the path specified.", 3};
    if (uncreatable.count(path)) return Failure{"CreateDirectoryW", "Access is denied.", 5};
    // Windows takes none of these in a name, nor a colon past the drive's.
    if (path.find_first_of("<>\"|?*") != std::string::npos || path.find(':', 2) != std::string::npos)
        return Failure{"CreateDirectoryW", "The filename, directory name, or volume label syntax is incorrect.", 123};
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
    auto it = files.find(asWindowsTakes(path));
    if (it == files.end() || unreadable.count(it->first)) return std::nullopt;
    return it->second.substr(0, maxBytes);
}

std::optional<std::string> MemoryFiles::readRange(const std::string& path, std::uint64_t offset, std::size_t maxBytes) {
    const auto whole = readBytes(path, std::string::npos);
    if (!whole) return std::nullopt;
    if (offset >= whole->size()) return std::string();
    return whole->substr(static_cast<std::size_t>(offset), maxBytes);
}

// Each file is named as the folder was given, as FindFirstFileExW's names are joined to it.
std::vector<FileFacts> MemoryFiles::listFiles(const std::string& folder, const std::string& pattern) {
    std::vector<FileFacts> found;
    if (folder.empty()) return found;
    const std::string where = asWindowsTakes(folder);
    const std::u16string wanted = foldedName(pattern);
    for (const auto& [path, content] : files) {
        const auto slash = path.rfind('\\');
        if (slash == std::string::npos || !samePath(path.substr(0, slash), where) || isDevicePath(path)) continue;
        if (!matchesPattern(foldedName(path.substr(slash + 1)), wanted)) continue;
        const auto stamp = modified.find(path);
        found.push_back({where == folder ? path : folder + path.substr(slash), content.size(),
                         stamp == modified.end() ? 0 : stamp->second, readOnly.count(path) > 0});
    }
    return found;
}

// A file open for writing is held without leave to delete it, and so cannot move either.
MaybeFailure MemoryFiles::moveFile(const std::string& givenFrom, const std::string& givenTo) {
    const std::string from = asWindowsTakes(givenFrom), to = asWindowsTakes(givenTo);
    if (!fileExists(from) || isDevicePath(to)) return kNotFound;
    if (locked.count(from))
        return Failure{"MoveFileExW", "The process cannot access the file because it is being used by another process.",
                       32};
    if (files.count(to)) return Failure{"MoveFileExW", "Cannot create a file when that file already exists.", 183};
    if (!folderOfPathThere(to)) return kNoPath;
    files[to] = std::move(files[from]);
    files.erase(from);
    if (auto stamp = modified.find(from); stamp != modified.end()) {
        const FileTime time = stamp->second;
        modified.erase(stamp);
        modified[to] = time;
    }
    return std::nullopt;
}

std::optional<DiskSpace> MemoryFiles::diskSpace(const std::string& path) {
    const auto colon = path.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const auto disk = disks.find(path.substr(0, colon + 1));
    if (disk == disks.end()) return std::nullopt;
    return disk->second;
}

bool MemoryFiles::sameFile(const std::string& a, const std::string& b) {
    return fileExists(a) && fileExists(b) && samePath(a, b);
}

bool MemoryFiles::passesThroughLink(const std::string& path) {
    for (const auto& link : links)
        if (isSameOrInside(normalizedPath(path), link)) return true;
    return false;
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
    if (auto it = exitCodes.find(run.commandLine); it != exitCodes.end()) {
        result.exitCode = it->second;
    } else if (samePath(run.program, netProgram_)) {
        const auto answer = runNet(run.commandLine, run.boundMs);
        result.exitCode = answer.exitCode;
        result.output = answer.output;
        if (answer.atBound) {
            stoppedAtBound.push_back(run.commandLine);
            result.ending = ProcessResult::Ending::StoppedAtBound;
        }
    }
    if (auto it = outputs.find(run.commandLine); it != outputs.end()) result.output = it->second;
    return result;
}

NetReply MemoryProcesses::runNet(const std::string& commandLine, std::uint32_t boundMs) {
    const bool start = commandLine.rfind("net start \"", 0) == 0;
    const bool stop = commandLine.rfind("net stop \"", 0) == 0;
    const auto open = commandLine.find('"');
    if ((!start && !stop) || open == std::string::npos || commandLine.size() < open + 2)
        return {1, "The syntax of this command is:\r\n"};
    const std::string name = commandLine.substr(open + 1, commandLine.size() - open - 2);
    return start ? services_.netStart(name) : services_.netStop(name, boundMs);
}

FileTime MemoryServices::now() const { return clock ? clock->now() : 0; }

// The process is gone: its ports close, and a scripted stop writes its lines.
void MemoryServices::ended(Service& service) {
    service.started = service.starting = service.paused = false;
    service.stopsAt = service.stoppingUntil = 0;
    service.processId = 0;
    service.processStartedAt = 0;
    if (files)
        for (const auto& path : service.holds) files->locked.erase(path);
    if (network && service.script)
        for (const auto& address : service.script->opens) network->accepting.erase(address);
    if (files && service.stopScript)
        for (const auto& [path, text] : service.stopScript->writes) (void)files->appendText(path, text);
}

void MemoryServices::catchUp(Service& service) {
    if (service.starting && service.startingUntil != 0 && now() >= service.startingUntil) service.starting = false;
    if (service.started && service.stoppingUntil != 0 && now() >= service.stoppingUntil) {
        ended(service);
        return;
    }
    if (!service.started || service.stopsAt == 0 || now() < service.stopsAt) return;
    ended(service);
    service.exitCode = service.script->exitCode;
    service.serviceExitCode = service.script->serviceExitCode;
}

std::map<std::string, MemoryServices::Service, NameLess>::iterator MemoryServices::byNetName(const std::string& name) {
    auto it = services.find(name);
    if (it != services.end()) return it;
    return std::find_if(services.begin(), services.end(),
                        [&](const auto& entry) { return sameName(entry.second.configuration.displayName, name); });
}

// net.exe's answers: 0 when the service changed state, 2 otherwise.
NetReply MemoryServices::netStart(const std::string& serviceName) {
    const std::string notStarted = "The service is not in a state that allows this.\r\n";
    auto it = byNetName(serviceName);
    if (it == services.end()) return {2, "The service name is invalid.\r\n"};
    Service& service = it->second;
    catchUp(service);
    if (service.started) return {2, "The requested service has already been started.\r\n"};
    if (service.configuration.startType == StartType::Disabled)
        return {2,
                "System error 1058 has occurred.\r\n\r\nThe service cannot be started, either because it is "
                "disabled or because it has no enabled devices associated with it.\r\n"};
    service.exitCode = service.serviceExitCode = 0;
    const std::string started = "The " + serviceName + " service was started successfully.\r\n";
    auto run = [&] {
        service.started = true;
        service.processId = ++lastProcessId_;
        service.processStartedAt = now();
        if (files) files->locked.insert(service.holds.begin(), service.holds.end());
    };
    if (!service.script) {
        run();
        return {0, started};
    }
    const ScriptedStart& script = *service.script;
    for (const auto& [path, text] : script.writes)
        if (files) (void)files->appendText(path, text);
    for (auto event : script.events) {
        event.written = now() - now() % kTicksPerSecond;  // as Windows' log keeps it
        if (events) events->events.push_back(event);
    }
    if (network && script.opensAfterMs && script.fate != ScriptedStart::Fate::DiesStarting)
        for (const auto& address : script.opens)
            network->accepting[address] = now() + FileTime{*script.opensAfterMs} * kTicksPerMillisecond;
    switch (script.fate) {
        case ScriptedStart::Fate::DiesStarting:
            service.exitCode = script.exitCode;
            service.serviceExitCode = script.serviceExitCode;
            return {2, script.netOutput.empty() ? "The " + serviceName + " service could not be started.\r\n"
                                                : script.netOutput};
        case ScriptedStart::Fate::StopsLater:
            run();
            service.stopsAt = now() + FileTime{script.stopsAfterMs} * kTicksPerMillisecond;
            return {0, started};
        case ScriptedStart::Fate::Runs: run(); return {0, started};
        case ScriptedStart::Fate::HangsStarting:
            run();
            service.starting = true;
            service.startingUntil =
                script.pendingForMs ? now() + FileTime{*script.pendingForMs} * kTicksPerMillisecond : 0;
            return {2, script.netOutput.empty() ? "The service is not responding to the control function.\r\n"
                                                : script.netOutput};
    }
    return {2, notStarted};
}

// A stop that takes a while leaves the service stop pending; net, as Wine's
// does, does not wait for it, unless it waits as Windows' does.
NetReply MemoryServices::netStop(const std::string& serviceName, std::uint32_t boundMs) {
    auto it = byNetName(serviceName);
    if (it == services.end()) return {2, "The service name is invalid.\r\n"};
    Service& service = it->second;
    catchUp(service);
    if (!service.started) return {2, "The " + serviceName + " service is not started.\r\n"};
    // The service manager passes no stop to a service still starting.
    if (service.starting) return {2, "The service could not be controlled in its present state.\r\n"};
    if (service.stopScript && service.stopScript->takesMs > 0) {
        if (service.stoppingUntil == 0)
            service.stoppingUntil = now() + FileTime{service.stopScript->takesMs} * kTicksPerMillisecond;
        if (netWaits && clock) {
            const FileTime until = std::min(service.stoppingUntil, now() + FileTime{boundMs} * kTicksPerMillisecond);
            clock->sleep(static_cast<std::uint32_t>((until - now()) / kTicksPerMillisecond));
            catchUp(service);
            if (service.started) return {2, "The " + serviceName + " service is stopping.\r\n", true};
            return {0, "The " + serviceName + " service was stopped successfully.\r\n"};
        }
        return {2, "The " + serviceName + " service is stopping.\r\n"};
    }
    ended(service);
    return {0, "The " + serviceName + " service was stopped successfully.\r\n"};
}

std::variant<ServiceState, Failure> MemoryServices::state(const std::string& serviceName) {
    ++queries;
    if (stateFailure && stateFailuresLeft != 0) {
        if (stateFailuresLeft > 0) --stateFailuresLeft;
        return *stateFailure;
    }
    auto it = services.find(serviceName);
    if (it == services.end()) return kNoSuchService;
    catchUp(it->second);
    const Service& service = it->second;
    RunState state = RunState::Stopped;
    if (service.started)
        state = service.stoppingUntil ? RunState::StopPending
                : service.starting    ? RunState::StartPending
                : service.paused      ? RunState::Paused
                                      : RunState::Running;
    return ServiceState{state, service.exitCode, service.serviceExitCode, service.processId, service.processStartedAt};
}

MaybeFailure MemoryProcesses::openDocument(const std::string& path) {
    if (!files_.fileExists(path)) return Failure{"ShellExecuteExW", "The system cannot find the file specified.", 2};
    opened.push_back(path);
    return std::nullopt;
}

std::optional<std::uint32_t> MemoryProcesses::parentOf(std::uint32_t processId) {
    const auto it = parents.find(processId);
    if (it == parents.end()) return std::nullopt;
    return it->second;
}

std::variant<bool, Failure> MemoryServices::isStarted(const std::string& serviceName) {
    ++queries;
    auto it = services.find(serviceName);
    if (it == services.end()) return kNoSuchService;
    catchUp(it->second);
    return it->second.started;
}

ServiceLookup MemoryServices::binaryPath(const std::string& serviceName) {
    ++queries;
    if (lookupFailure) return *lookupFailure;
    auto it = services.find(serviceName);
    if (it == services.end()) return std::optional<std::string>();
    return std::optional<std::string>(it->second.binaryPath);
}

std::variant<std::vector<std::string>, Failure> MemoryServices::serviceNames() {
    ++queries;
    if (lookupFailure) return *lookupFailure;
    std::vector<std::string> names;
    for (const auto& [name, service] : services) names.push_back(name);
    return names;
}

std::variant<ServiceConfiguration, Failure> MemoryServices::configuration(const std::string& serviceName) {
    auto it = services.find(serviceName);
    if (it == services.end())
        return Failure{"OpenServiceW", "The specified service does not exist as an installed service.", 1060};
    ServiceConfiguration configuration = it->second.configuration;
    configuration.programLine = it->second.binaryPath;
    // A service is made with its name for its display name, as CreateService is called without another.
    if (configuration.displayName.empty()) configuration.displayName = it->first;
    return configuration;
}

std::vector<SettingFailure> MemoryServices::configure(const std::string& serviceName,
                                                      const ServiceConfiguration& wanted, const std::string& password,
                                                      const std::vector<ServiceSetting>& settings) {
    auto it = services.find(serviceName);
    if (it == services.end())
        return eachRefused(settings,
                           {"OpenServiceW", "The specified service does not exist as an installed service.", 1060});
    ServiceConfiguration& held = it->second.configuration;
    std::vector<SettingFailure> refused;
    auto set = [&](ServiceSetting setting, const std::function<std::optional<Failure>()>& change) {
        if (std::find(settings.begin(), settings.end(), setting) == settings.end()) return;
        if (unsupported.count(setting)) {
            refused.push_back({setting, {"ChangeServiceConfig2W", "The request is not supported.", 50}});
        } else if (auto failure = change()) {
            refused.push_back({setting, *failure});
        }
    };
    set(ServiceSetting::StartType, [&]() -> std::optional<Failure> {
        held.startType = wanted.startType;
        return std::nullopt;
    });
    set(ServiceSetting::DisplayName, [&]() -> std::optional<Failure> {
        held.displayName = wanted.displayName;
        return std::nullopt;
    });
    set(ServiceSetting::Description, [&]() -> std::optional<Failure> {
        held.description = wanted.description;
        return std::nullopt;
    });
    set(ServiceSetting::Dependencies, [&]() -> std::optional<Failure> {
        for (const auto& dependency : wanted.dependencies)
            if (sameName(dependency, serviceName))
                return Failure{"ChangeServiceConfigW", "Circular service dependency was specified.", 1059};
            else if (!services.count(dependency))
                return Failure{"ChangeServiceConfigW",
                               "The dependency service does not exist or has been marked for deletion.", 1075};
        held.dependencies = wanted.dependencies;
        return std::nullopt;
    });
    set(ServiceSetting::Account, [&]() -> std::optional<Failure> {
        const bool builtIn = sameName(wanted.account, "LocalSystem") ||
                             sameName(wanted.account, "NT AUTHORITY\\LocalService") ||
                             sameName(wanted.account, "NT AUTHORITY\\NetworkService") ||
                             sameName(wanted.account, virtualAccount(serviceName));
        if (!builtIn && !accounts.count(wanted.account))
            return Failure{"ChangeServiceConfigW",
                           "The account name is invalid or does not exist, or the password is "
                           "invalid for the account name specified.",
                           1057};
        if (builtIn && !password.empty()) return Failure{"ChangeServiceConfigW", "The parameter is incorrect.", 87};
        held.account = wanted.account;
        return std::nullopt;
    });
    set(ServiceSetting::DelayedStart, [&]() -> std::optional<Failure> {
        held.delayedStart = wanted.delayedStart;
        return std::nullopt;
    });
    set(ServiceSetting::FailureActions, [&]() -> std::optional<Failure> {
        held.failureActions = wanted.failureActions;
        held.resetPeriodSeconds = wanted.resetPeriodSeconds;
        return std::nullopt;
    });
    set(ServiceSetting::FailureActionsOnNonCrash, [&]() -> std::optional<Failure> {
        held.failureActionsOnNonCrash = wanted.failureActionsOnNonCrash;
        return std::nullopt;
    });
    return refused;
}

MaybeFailure MemoryServices::setProgramLine(const std::string& serviceName, const std::string& programLine) {
    auto it = services.find(serviceName);
    if (it == services.end())
        return Failure{"OpenServiceW", "The specified service does not exist as an installed service.", 1060};
    it->second.binaryPath = programLine;
    return std::nullopt;
}

bool MemoryAccounts::missing(const std::string& path) {
    return files_ && !files_->folderExists(path) && !files_->fileExists(path);
}

std::optional<bool> MemoryAccounts::allows(const std::string& path, const std::string& account, Access access) {
    if (missing(path)) return std::nullopt;
    if (sameName(account, "LocalSystem")) return true;
    // A right given to a folder reaches everything below it.
    bool underGuard = false;
    // Asked of the folder as Windows finds it, however it is spelt.
    const std::string normalized = normalizedPath(path);
    for (std::string at = normalized.empty() ? path : normalized; !at.empty();) {
        if (auto entry = rights.find(at); entry != rights.end())
            if (auto right = entry->second.find(account); right != entry->second.end())
                if (right->second == Access::Modify || access == Access::Read) return true;
        underGuard = underGuard || guarded.count(at) > 0 || (at.size() == 2 && guarded.count(at + "\\") > 0);
        const auto slash = at.rfind('\\');
        at = slash == std::string::npos ? std::string() : at.substr(0, slash);
    }
    return !underGuard;
}

MaybeFailure MemoryAccounts::grant(const std::string& path, const std::string& account, Access access) {
    if (missing(path)) return Failure{"GetNamedSecurityInfoW", "The system cannot find the file specified.", 2};
    const std::string normalized = normalizedPath(path);
    auto& right = rights[normalized.empty() ? path : normalized][account];
    if (access == Access::Modify || right != Access::Modify) right = access;
    return std::nullopt;
}

MaybeFailure MemoryAccounts::grantLogOnAsService(const std::string& account) {
    serviceLogon.insert(account);
    return std::nullopt;
}

ServiceLogOn MemoryAccounts::tryServiceLogOn(const std::string& account, const std::string& password) {
    const auto known = passwords.find(account);
    if (known == passwords.end()) return {};
    if (known->second != password) return {Failure{"LogonUserW", "The user name or password is incorrect.", 1326}, {}};
    return {std::nullopt, mayLogOnAsService(account) || serviceLogonThroughGroup.count(account) > 0};
}

MaybeFailure MemoryCommandLock::acquire(const std::function<void()>& waiting) {
    if (failure) return failure;
    // Free at once, it is taken even when a give-up was told; only a wait can be given up.
    if (otherCommand) {
        waiting();
        std::exchange(otherCommand, {})();
        if (std::exchange(givenUp, false)) return Failure{"acquire", "the wait was given up", kWaitGivenUp};
    }
    ++holders;
    ++acquired;
    return std::nullopt;
}

MemoryPlatform::MemoryPlatform() {
    files.clock = &clock;
    files.environment = &environment;
    services.clock = &clock;
    services.files = &files;
    services.events = &events;
    services.network = &network;
    network.clock = &clock;
    files.addFile(environment.systemFolder() + "\\net.exe", "net");
}

namespace {
// The character each byte of Windows-1252 stands for: Latin-1 but for 0x80-0x9F, where the five unassigned
// read as the control characters of their numbers.
char16_t westernCharacter(unsigned char byte) {
    static const char16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char16_t{byte};
}
}  // namespace

bool MemoryEnvironment::ansiCodePageHolds(const std::string& text) {
    const std::u16string units = toUtf16(text);
    return std::all_of(units.begin(), units.end(), [](char16_t unit) {
        if (unit < 0x80 || (unit >= 0xA0 && unit < 0x100)) return true;
        for (int byte = 0x80; byte < 0xA0; ++byte)
            if (westernCharacter(static_cast<unsigned char>(byte)) == unit) return true;
        return false;
    });
}

std::string MemoryEnvironment::fromAnsiCodePage(const std::string& bytes) {
    std::u16string text;
    for (unsigned char byte : bytes) text += westernCharacter(byte);
    return fromUtf16(text);
}

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
