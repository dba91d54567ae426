#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/Version.h"

// The real programs beside a Catalina home, a JDK and a stand-in wrapper; the test calls Windows directly.
namespace velmora::e2e {

constexpr const char* kStoreKey = "SOFTWARE\\velmoraconfigs";
inline const std::string kMainCaption = "Velmora - " + versionText();
// For velmora-cli set: no restart by the service manager, which Wine 8 would refuse with a warning.
constexpr const char* kNoRecovery =
    " service.recovery.first=0 service.recovery.second=0 service.recovery.later=0 "
    "service.recovery.reset=0 service.recovery.on.error.exit=0";

// bin\tomcat.exe on a JDK with a jre folder, or bin\tomcat10.exe on a JDK 21.
enum class Layout { Classic, Modern };
void makeCatalinaHome(const std::string& home, Layout layout);
void makeJdk(const std::string& jdk, Layout layout);

// What one run of velmora-cli.exe printed, with "\r" dropped, and how it ended.
struct CliRun {
    int code = -1;
    std::string out, err;
    DWORD ms = 0;            // from its start to its end
    bool pipesEnded = true;  // both output pipes reached their end soon after
};

// A new, empty folder under the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

// A loopback TCP port held by this process, listening when asked; 0 when none could be had.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening = true);
    ~LoopbackPort() { close(); }
    LoopbackPort(const LoopbackPort&) = delete;
    LoopbackPort& operator=(const LoopbackPort&) = delete;
    void close();
    std::uint16_t port = 0;

private:
    std::uintptr_t socket_;  // a SOCKET: winsock2.h must come before windows.h, which the tests include first
};

class Session {
public:
    explicit Session(Layout layout = Layout::Classic);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts velmora.exe from <home>\bin and waits for its main window.
    bool start(const std::string& arguments = "");
    bool exited(int waitMs);
    // Puts the cursor into a box of the main window and types over its text,
    // then tabs on when asked to; false when the focus did not follow.
    bool type(int id, const std::string& text, bool tabOn = true) const;
    // Until the window takes input again: a command it runs keeps it disabled.
    bool waitUntilIdle() const;
    // velmora-cli.exe from <home>\bin, its output read through pipes to
    // their end, as "velmora-cli ... | more" would; input, when given, is its
    // standard input, as "echo ... | velmora-cli ..." gives it.
    CliRun cli(const std::string& arguments, const std::string& input = "") const;

    HWND main() const { return main_; }
    HWND control(int id) const { return GetDlgItem(main_, id); }
    std::string text(int id) const;
    DWORD processId() const { return process_.dwProcessId; }

    const std::string& root() const { return root_.path(); }
    const std::string& home() const { return home_; }
    const std::string& jdk() const { return jdk_; }
    std::string bin(const std::string& file) const { return home_ + "\\bin\\" + file; }

    // answerMessageBox for this program's boxes.
    std::string answer(const std::string& title, int button) const;
    // Any box of the program that is open now.
    HWND openMessageBox() const;
    // The program's windows, once painted, under the screenshot folder.
    bool screenshot(const std::string& name, int settleMs = 400) const;

    // A service the test may make or install; the session removes it at its
    // end should the test not have come that far.
    void removeServiceAtEnd(const std::string& name) { services_.push_back(name); }

private:
    TempFolder root_;
    std::string home_, jdk_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    std::vector<std::string> services_;
};

// An environment variable for the programs started in this scope.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::string& value);
    ~ScopedVariable();

private:
    std::string name_;
};

// Registered: known and not marked for deletion (which lasts until the last handle closes).
bool serviceRegistered(const std::string& name);
bool serviceRunning(const std::string& name);
// The service manager's record; "<none>" for no program line. Wine 8 keeps only some of it.
struct ServiceConfig {
    std::string programLine = "<none>", account;
    DWORD startType = 0;
    bool delayed = false;
    std::vector<std::string> dependencies;
    std::vector<DWORD> restartDelays;  // of each failure action, in ms; 0 for one that does nothing
    DWORD resetSeconds = 0;
    bool actionsOnErrorExit = false;
};
ServiceConfig serviceConfig(const std::string& name);
std::string serviceDescription(const std::string& name);
// A demand-start service of its own process, as another installer makes it.
bool createService(const std::string& name, const std::string& programLine);
// Started and running, or stopped, within a bound.
bool startService(const std::string& name);
bool stopService(const std::string& name);
void removeService(const std::string& name);
// Whether the tests run under Wine, whose ntdll says so, rather than on Windows.
bool underWine();
// What a test leaves out where it runs, and why, on its output.
void leftOut(const std::string& why);
// An install's warnings under Wine 8, which refuses the failure-actions flag and actions; none on Windows.
std::vector<std::string> settingsWarnings(const std::string& name);
// A local account with this password, made on Windows and removed; Wine takes any name.
class LocalAccount {
public:
    LocalAccount(const std::string& name, const std::string& password);
    ~LocalAccount();
    LocalAccount(const LocalAccount&) = delete;
    LocalAccount& operator=(const LocalAccount&) = delete;

private:
    std::string name_;
};
// Only administrators and the system may change the folder (another installer's); false: inherited again.
bool onlyAdministratorsMayWrite(const std::string& folder, bool only = true);
// Whether any process runs a program of this file name.
bool processRuns(const std::string& fileName);

// The process a running service runs in; 0 when it runs none.
DWORD serviceProcessId(const std::string& name);

// The stand-in wrappers' command lines, one a line, from programs this test starts.
class WrapperRuns {
public:
    explicit WrapperRuns(const std::string& file) : path_(file), variable_("VELMORA_TEST_WRAPPER_RUNS", file) {}
    std::vector<std::string> lines() const;

private:
    std::string path_;
    ScopedVariable variable_;
};

// The configuration store, read and written past the program.
void clearStore();
// Values written into a configuration's key as a save leaves them.
struct StoredValues {
    std::vector<std::pair<std::string, std::string>> texts;
    std::vector<std::pair<std::string, std::uint32_t>> numbers;
    std::vector<std::string> options;
};
void storeConfiguration(const std::string& name, const StoredValues& values);
void storeNameList(const std::vector<std::string>& names);
std::vector<std::string> storedNameList();
bool storeHasKey(const std::string& name);
// A REG_SZ's text; "<missing>" or "<type N>" for anything else.
std::string storedText(const std::string& name, const std::string& value);
std::uint32_t storedNumber(const std::string& name, const std::string& value);
std::vector<std::string> storedOptions(const std::string& name);
// Any REG_SZ below HKEY_LOCAL_MACHINE, the same way.
std::string machineText(const std::string& key, const std::string& value);
bool machineKeyExists(const std::string& key);
// Every value of a key below HKEY_LOCAL_MACHINE: text, decimal number, list entries each ended by "|".
std::map<std::string, std::string> machineValues(const std::string& key);
// The Tomcat 7-11 wrapper's Parameters key (Java, Start, Stop, Log) in the 32-bit view.
std::string procrunKey(const std::string& service);
// When the key (its values included) was last written; 0 when it is not there.
std::uint64_t machineKeyWritten(const std::string& key);

// Paths from the build tree are Unix paths; Wine sees them on drive Z:.
std::string windowsPath(std::string path);
std::string contentOf(const std::string& path);
void makeFile(const std::string& path, const std::string& content = "e2e\n");
bool fileExists(const std::string& path);
void makeFolders(const std::string& path);
bool holds(const std::string& text, const std::string& part);
// The text in double quotes.
std::string quoted(const std::string& text);
// The system time so many hours back.
FILETIME hoursAgo(int hours);
// The local date so many days back, as the logs' names carry it ("%04u-%02u-%02u" or without dashes).
std::string localDate(int daysBack = 0, const char* format = "%04u-%02u-%02u");

}  // namespace velmora::e2e
