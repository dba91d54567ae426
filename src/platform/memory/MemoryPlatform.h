#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/WindowsPaths.h"
#include "platform/memory/MemoryRegistry.h"

namespace velmora {

// Files and folders by path, names ignoring case. A device name is never a
// file, as on Windows; a locked file (in use) can be read but neither written nor deleted.
// Time passes only when someone waits: a test that waits a minute takes no
// time. It starts on 7 December 2026, 00:00 UTC.
class MemoryClock : public Clock {
public:
    FileTime now() override { return current; }
    void sleep(std::uint32_t milliseconds) override;

    FileTime current = 134410752000000000ULL;
    std::uint64_t slept = 0;  // milliseconds in all
};

// The service manager's entries a test lays down, and Velmora's own as written.
class MemoryEventLog : public EventLog {
public:
    std::vector<ServiceManagerEvent> serviceManagerEvents(FileTime since) override;
    std::uint32_t newestServiceManagerRecord() override { return static_cast<std::uint32_t>(events.size()); }
    MaybeFailure write(const ProgramEvent& event) override;
    std::vector<ServiceManagerEvent> events;
    std::vector<ProgramEvent> written;
    MaybeFailure failure;  // how every write fails, as without rights to register the source
};

class MemoryEnvironment;

// A path that is not whole is taken from the environment's current folder, as
// Windows takes it: \logs on its drive, logs inside it.
class MemoryFiles : public Files {
public:
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    MaybeFailure copyFile(const std::string& from, const std::string& to) override;
    MaybeFailure deleteFile(const std::string& path) override;
    MaybeFailure writeText(const std::string& path, const std::string& text) override;
    MaybeFailure appendText(const std::string& path, const std::string& text) override;
    MaybeFailure createFolders(const std::string& path) override;
    MaybeFailure removeEmptyFolder(const std::string& path) override;
    std::optional<std::string> readBytes(const std::string& path, std::size_t maxBytes) override;
    std::optional<std::string> readRange(const std::string& path, std::uint64_t offset, std::size_t maxBytes) override;
    std::vector<FileFacts> listFiles(const std::string& folder, const std::string& pattern) override;
    bool sameFile(const std::string& a, const std::string& b) override;
    std::string resolvedPath(const std::string& path) override { return normalizedPath(path); }
    bool passesThroughLink(const std::string& path) override;
    bool openForWriting(const std::string& path) override { return locked.count(asWindowsTakes(path)) > 0; }
    MaybeFailure moveFile(const std::string& from, const std::string& to) override;
    std::optional<DiskSpace> diskSpace(const std::string& path) override;

    void addFolder(const std::string& path) { folders.insert(path); }
    void addFile(const std::string& path, const std::string& content = "") {
        files[path] = content;
        touch(path);
    }
    // Stamps the file with the clock's time, as a write does.
    void touch(const std::string& path) { modified[path] = clock ? clock->now() : 0; }

    MemoryClock* clock = nullptr;
    const MemoryEnvironment* environment = nullptr;
    std::map<std::string, FileTime, NameLess> modified;

    std::map<std::string, std::string, NameLess> files;
    std::set<std::string, NameLess> folders;
    std::set<std::string, NameLess> locked;       // in use: read, but not written, moved or deleted
    std::set<std::string, NameLess> readOnly;     // marked read-only, as the listing tells
    std::set<std::string, NameLess> unreadable;   // found and listed, but reading them is denied
    std::set<std::string, NameLess> uncreatable;  // folders that cannot be created
    std::set<std::string, NameLess> links;        // junctions and symbolic links
    std::map<std::string, int, NameLess> deleteAttempts;
    std::vector<std::string> deviceReads;              // device paths someone tried to read
    std::map<std::string, DiskSpace, NameLess> disks;  // by drive ("C:"); a drive not here cannot be asked

private:
    std::string asWindowsTakes(const std::string& path) const;
    bool folderOfPathThere(const std::string& path) const;
    bool holdsAnything(const std::string& folder) const;
};

class MemoryServices;
class MemoryNetwork;

// What net.exe answers: its exit code and its words.
struct NetReply {
    std::uint32_t exitCode;
    std::string output;
    bool atBound = false;  // still waiting when its bound came, and so ended
};

// Records every program run. A program that is not among the files does not
// start; System32's net.exe starts and stops the in-memory services as the
// real one does. Exit codes are scripted by command line, a test may react to
// a command (a wrapper registering its service), and a command may be made to
// hang: it is then ended at the bound, or left running when it cannot be.
class MemoryProcesses : public Processes {
public:
    MemoryProcesses(MemoryFiles& files, MemoryServices& services, std::string systemFolder)
        : files_(files), services_(services), netProgram_(systemFolder + "\\net.exe") {}
    ProcessResult run(const ProcessRun& run) override;
    MaybeFailure openDocument(const std::string& path) override;
    std::optional<std::uint32_t> parentOf(std::uint32_t processId) override;

    std::vector<std::string> ran;       // command lines, in order
    std::vector<std::string> programs;  // the program of each
    std::vector<std::string> opened;
    std::vector<std::string> stoppedAtBound;
    std::map<std::string, std::uint32_t> exitCodes;  // by command line; 0 otherwise
    std::map<std::string, std::string> outputs;      // what a command writes, by command line
    std::set<std::string> hanging;                   // by command line
    std::set<std::string> unstoppable;               // hanging, cannot be ended, and so holds its program
    std::map<std::uint32_t, std::uint32_t> parents;  // by process id: the processes that started them
    std::function<void(const std::string&)> onRun;

private:
    NetReply runNet(const std::string& commandLine, std::uint32_t boundMs);

    MemoryFiles& files_;
    MemoryServices& services_;
    std::string netProgram_;
};

// The service manager's table: services by name, with their program lines
// and how they run. It refuses what Windows refuses: an account it does not
// know, a dependency on a service that does not exist, a password for an
// account that takes none.
class MemoryServices : public Services {
public:
    // How a service's process fares once net starts it, as a test sets it
    // up: it dies while starting (net then fails, as it does), runs a while
    // and stops, never finishes starting, or runs until it is stopped. At the
    // start it writes its lines to its files and the service manager its
    // events; while it runs it accepts connections on the addresses it
    // opens ("127.0.0.1:8080"), from a while after the start or never.
    struct ScriptedStart {
        enum class Fate { DiesStarting, StopsLater, HangsStarting, Runs } fate = Fate::DiesStarting;
        std::uint32_t stopsAfterMs = 0;
        std::uint32_t exitCode = 1067;
        std::uint32_t serviceExitCode = 0;
        std::vector<std::pair<std::string, std::string>> writes;  // file, text appended
        std::vector<ServiceManagerEvent> events;
        std::string netOutput;  // what net says when the start fails; net's usual words otherwise
        std::vector<std::string> opens = {};
        std::optional<std::uint32_t> opensAfterMs = 0;
        std::optional<std::uint32_t> pendingForMs = std::nullopt;  // a hung start that ends after all, running
    };
    // How it takes a stop: stop pending for a while, then stopped, writing its lines then.
    struct ScriptedStop {
        std::uint32_t takesMs = 0;
        std::vector<std::pair<std::string, std::string>> writes;
    };
    struct Service {
        Service(std::string path = {}, bool isStarted = false, ServiceConfiguration held = {})
            : binaryPath(std::move(path)), started(isStarted), configuration(std::move(held)) {}
        std::string binaryPath;
        bool started = false;
        ServiceConfiguration configuration;
        std::optional<ScriptedStart> script;
        std::optional<ScriptedStop> stopScript;
        // While it runs, when it stops by itself; the codes its last run ended with.
        FileTime stopsAt = 0;
        FileTime stoppingUntil = 0;  // stop pending until then
        bool starting = false;
        FileTime startingUntil = 0;  // start pending until then; 0: for ever
        bool paused = false;
        std::uint32_t exitCode = 0;
        std::uint32_t serviceExitCode = 0;
        std::uint32_t processId = 0;
        FileTime processStartedAt = 0;
        // What its process holds open while it runs, as the wrapper holds its System.out and System.err.
        std::vector<std::string> holds;
    };
    // As net.exe does, both also take a service by its display name.
    NetReply netStart(const std::string& serviceName);
    NetReply netStop(const std::string& serviceName, std::uint32_t boundMs);

    std::variant<bool, Failure> isStarted(const std::string& serviceName) override;
    std::variant<ServiceState, Failure> state(const std::string& serviceName) override;
    ServiceLookup binaryPath(const std::string& serviceName) override;
    std::variant<ServiceConfiguration, Failure> configuration(const std::string& serviceName) override;
    std::vector<SettingFailure> configure(const std::string& serviceName, const ServiceConfiguration& wanted,
                                          const std::string& password,
                                          const std::vector<ServiceSetting>& settings) override;
    MaybeFailure setProgramLine(const std::string& serviceName, const std::string& programLine) override;
    std::variant<std::vector<std::string>, Failure> serviceNames() override;

    std::map<std::string, Service, NameLess> services;
    std::set<std::string, NameLess> accounts;  // named accounts that exist, besides the built-in ones
    std::set<ServiceSetting> unsupported;      // parts this service manager cannot set
    std::optional<Failure> lookupFailure;      // how each look-up of a program line fails, as without rights
    std::optional<Failure> stateFailure;       // how the queries of a service's state fail:
    int stateFailuresLeft = -1;                // so many, then they are answered again; -1: every one
    int queries = 0;
    // Windows' net stop waits, within its bound, for the stop it asked for; Wine's returns while it is pending.
    bool netWaits = false;
    MemoryClock* clock = nullptr;
    MemoryFiles* files = nullptr;
    MemoryEventLog* events = nullptr;
    MemoryNetwork* network = nullptr;

private:
    // A service that stops by itself, or whose stop was pending, has stopped once its moment has come.
    void catchUp(Service& service);
    void ended(Service& service);
    FileTime now() const;
    std::map<std::string, Service, NameLess>::iterator byNetName(const std::string& name);
    std::uint32_t lastProcessId_ = 4000;
};

// Access control lists by path, inherited by what lies below, and the
// accounts that may log on as a service. SYSTEM may do anything; below a
// guarded folder an account may do only what it was granted, elsewhere
// anything, as a folder made under C:\ lets every signed-in account in.
class MemoryAccounts : public Accounts {
public:
    MemoryAccounts() = default;
    // With the files, a folder or file that is not there has no access list, as on Windows.
    explicit MemoryAccounts(Files& files) : files_(&files) {}
    std::optional<bool> allows(const std::string& path, const std::string& account, Access access) override;
    MaybeFailure grant(const std::string& path, const std::string& account, Access access) override;
    bool mayLogOnAsService(const std::string& account) override { return serviceLogon.count(account) > 0; }
    MaybeFailure grantLogOnAsService(const std::string& account) override;
    ServiceLogOn tryServiceLogOn(const std::string& account, const std::string& password) override;

    std::map<std::string, std::map<std::string, Access, NameLess>, NameLess> rights;  // path -> account -> access
    // A named account's password and, as a group of its own may, whether that lets it log on as a service;
    // an account not listed takes any password, and its log-on tells nothing of its rights.
    std::map<std::string, std::string, NameLess> passwords;
    std::set<std::string, NameLess> serviceLogonThroughGroup;
    std::set<std::string, NameLess> guarded;
    std::set<std::string, NameLess> serviceLogon;

private:
    bool missing(const std::string& path);
    Files* files_ = nullptr;
};

class MemoryEnvironment : public Environment {
public:
    std::string variable(const std::string& name) override;
    std::string programFolder() override { return folder; }
    std::string systemFolder() override { return "C:\\windows\\system32"; }
    std::string absolutePath(const std::string& path) override;
    std::string commandLineArguments() override { return arguments; }
    bool elevated() override { return isElevated; }
    // As Windows-1252, a Western machine's, holds and reads them.
    bool ansiCodePageHolds(const std::string& text) override;
    std::string fromAnsiCodePage(const std::string& bytes) override;

    std::map<std::string, std::string, NameLess> variables;
    std::string folder = "C:\\tomcat\\bin";
    std::string arguments;
    std::string currentFolder = "C:\\users\\admin";
    bool isElevated = true;
};

// The sockets programs listen on, as a test sets them (reading them may be
// made to fail), and what accepts connections: by
// "address:port", from a moment on; an HTTP answer by "address:port/path",
// and how long it takes to come, on the clock: an answer slower than the
// time given is none, after that time. A port that accepts nothing refuses
// at once, as a local one does.
class MemoryNetwork : public Network {
public:
    std::variant<std::vector<Listener>, Failure> listenersOn(std::uint16_t port) override;
    std::variant<bool, Failure> accepts(const std::string& address, std::uint16_t port,
                                        std::uint32_t timeoutMs) override;
    std::variant<int, Failure> httpStatus(const std::string& address, std::uint16_t port, const std::string& path,
                                          std::uint32_t timeoutMs) override;

    std::multimap<std::uint16_t, Listener> listening;  // by port, the address as the system spells it
    MaybeFailure failure;
    std::set<std::string> unresolvable;  // host names no name server knows: asking them fails
    std::map<std::string, FileTime> accepting;
    std::map<std::string, int> answers;
    std::map<std::string, std::uint32_t> answerAfterMs;
    int probes = 0;
    MemoryClock* clock = nullptr;
};

// The command lock within one process, as tests run many commands in one:
// it counts its holders, and a test may make a command find it taken (the
// other command then runs to its end while this one waits) or not to be had.
class MemoryCommandLock : public CommandLock {
public:
    MaybeFailure acquire(const std::function<void()>& waiting) override;
    void release() override {
        --holders;
        givenUp = false;
    }
    void giveUpWaiting() override { givenUp = true; }

    int holders = 0;
    int acquired = 0;
    std::function<void()> otherCommand;  // runs, once, while the next acquire waits
    MaybeFailure failure;
    bool givenUp = false;  // before the next acquire, or by the other command while it waits
};

// The whole in-memory platform in one object.
struct MemoryPlatform {
    MemoryPlatform();
    MemoryRegistry registry;
    MemoryFiles files;
    MemoryServices services;
    MemoryEnvironment environment;
    MemoryProcesses processes{files, services, environment.systemFolder()};
    MemoryAccounts accounts{files};
    MemoryClock clock;
    MemoryEventLog events;
    MemoryNetwork network;
    MemoryCommandLock commandLock;
    Platform platform{registry, processes, files, services, environment, accounts, clock, events, network, commandLock};
};

}  // namespace velmora
