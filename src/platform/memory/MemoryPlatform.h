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
    std::optional<std::string> readFirstBytes(const std::string& path, std::size_t count) override;

    void addFolder(const std::string& path) { folders.insert(path); }
    void addFile(const std::string& path, const std::string& content = "") { files[path] = content; }

    std::map<std::string, std::string, NoCaseLess> files;
    std::set<std::string, NoCaseLess> folders;
    std::set<std::string, NoCaseLess> locked;      // cannot be deleted or written
    std::map<std::string, int, NoCaseLess> deleteAttempts;
};

// Records every command line; answers with scripted exit codes and lets a
// test react to a command (for example a wrapper registering its service).
class MemoryProcesses : public Processes {
public:
    struct Started {
        std::string commandLine;
        std::string workingFolder;
    };
    int runHiddenAndWait(const std::string& commandLine, unsigned waitMs = kDefaultWaitMs) override;
    void startHidden(const std::string& commandLine, const std::string& workingFolder = "") override;

    std::vector<std::string> ran;
    std::vector<Started> started;
    std::map<std::string, int> exitCodes;  // by command line; 0 otherwise
    std::function<void(const std::string&)> onRun;
};

// Services by name; a name not held here is unknown to the system.
class MemoryServices : public Services {
public:
    std::variant<bool, Failure> isStarted(const std::string& serviceName) override;

    std::map<std::string, bool, NoCaseLess> started;
    int queries = 0;
};

class MemoryEnvironment : public Environment {
public:
    std::string variable(const std::string& name) override;
    std::string programFolder() override { return folder; }
    std::string commandLineArguments() override { return arguments; }

    std::map<std::string, std::string, NoCaseLess> variables;
    std::string folder = "C:\\tomcat\\bin";
    std::string arguments;
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
    MemoryRegistry registry;
    MemoryProcesses processes;
    MemoryFiles files;
    MemoryServices services;
    MemoryEnvironment environment;
    MemoryMessageBoxes messageBoxes;
    Platform platform{registry, processes, files, services, environment, messageBoxes};
};

}  // namespace velmora
