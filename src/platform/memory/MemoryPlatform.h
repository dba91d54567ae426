#pragma once
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/memory/MemoryRegistry.h"
#include "platform/memory/NameCompare.h"

namespace velmora {

// Files and folders held in memory; paths compare without regard to case.
class MemoryFiles : public Files {
public:
    bool fileExists(const std::string& path) override;
    bool folderExists(const std::string& path) override;
    Outcome copyFile(const std::string& from, const std::string& to) override;
    Outcome deleteFileForced(const std::string& path) override;
    Outcome writeText(const std::string& path, const std::string& text) override;
    Outcome appendText(const std::string& path, const std::string& text) override;
    Outcome createFolders(const std::string& path) override;
    std::optional<std::string> readBytes(const std::string& path, std::size_t maxBytes) override;

    void addFolder(const std::string& path) { folders.insert(path); }
    void addFile(const std::string& path, const std::string& content = "") { files[path] = content; }

    std::map<std::string, std::string, NoCaseLess> files;
    std::set<std::string, NoCaseLess> folders;
    std::set<std::string, NoCaseLess> locked;      // cannot be deleted or written
    std::map<std::string, int, NoCaseLess> deleteAttempts;
};

class MemoryServices;

// Records every program run. A program that is not among the files cannot
// start (-1); System32's net.exe starts and stops the in-memory services as
// the real one does. Other exit codes are scripted, and a test may react to a
// command (for example a wrapper registering its service). A command scripted
// to run longer than the wait still runs when the wait ends (259).
class MemoryProcesses : public Processes {
public:
    MemoryProcesses(MemoryFiles& files, MemoryServices& services, std::string systemFolder)
        : files_(files), services_(services), netProgram_(systemFolder + "\\net.exe") {}
    int runHiddenAndWait(const std::string& program, const std::string& commandLine,
                         unsigned waitMs = kDefaultWaitMs) override;
    Outcome openDocument(const std::string& path) override;

    std::vector<std::string> ran;       // command lines, in order
    std::vector<std::string> programs;  // the program of each
    std::vector<std::string> opened;
    std::map<std::string, int> exitCodes;       // by command line; 0 otherwise
    std::map<std::string, unsigned> runsForMs;  // by command line
    std::function<void(const std::string&)> onRun;

private:
    int runNet(const std::string& commandLine);

    MemoryFiles& files_;
    MemoryServices& services_;
    std::string netProgram_;
};

// The service manager's table: services by name, with their binary paths.
class MemoryServices : public Services {
public:
    struct Service {
        std::string binaryPath;
        bool started = false;
    };
    std::variant<bool, Failure> isStarted(const std::string& serviceName) override;
    ServiceLookup binaryPath(const std::string& serviceName) override;

    std::map<std::string, Service, NoCaseLess> services;
    int queries = 0;
};

class MemoryEnvironment : public Environment {
public:
    std::string variable(const std::string& name) override;
    std::string programFolder() override { return folder; }
    std::string systemFolder() override { return "C:\\windows\\system32"; }
    std::string absolutePath(const std::string& path) override;
    std::string commandLineArguments() override { return arguments; }

    std::map<std::string, std::string, NoCaseLess> variables;
    std::string folder = "C:\\tomcat\\bin";
    std::string arguments;
    std::string currentFolder = "C:\\users\\admin";
};

// Records every box shown and answers by its title, else from a queue,
// else with the first button (OK or Yes).
class MemoryMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        std::string text;
        int buttons;
        std::string title;
    };
    int show(const std::string& text, int buttons, const std::string& title) override;

    std::vector<Shown> shown;
    std::deque<int> answers;
    std::map<std::string, int> answerByTitle;
};

// The whole in-memory platform in one object.
struct MemoryPlatform {
    MemoryPlatform();
    MemoryRegistry registry;
    MemoryFiles files;
    MemoryServices services;
    MemoryEnvironment environment;
    MemoryProcesses processes{files, services, environment.systemFolder()};
    MemoryMessageBoxes messageBoxes;
    Platform platform{registry, processes, files, services, environment, messageBoxes};
};

}  // namespace velmora
