#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One run of velmora.exe on a prepared Catalina home and JDK in a temporary
// folder, with a clean configuration store. Ending the session ends the
// program and removes the folder and the store.
namespace velmora::e2e {

constexpr const char* kStoreKey = "SOFTWARE\\velmoraconfigs";
constexpr const char* kMainCaption = "Velmora - 0.2.5 (beta)";

class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts the program from <home>\bin and waits for its main window.
    bool start(const std::string& arguments = "");
    bool exited(int waitMs);

    HWND main() const { return main_; }
    HWND control(int id) const { return GetDlgItem(main_, id); }
    std::string text(int id) const;
    DWORD processId() const { return process_.dwProcessId; }

    const std::string& root() const { return root_; }
    const std::string& home() const { return home_; }
    const std::string& jdk() const { return jdk_; }

    // answerMessageBox for this program's boxes.
    std::string answer(const std::string& title, int button) const;
    // Any box of the program that is open now.
    HWND openMessageBox() const;

    // The program's windows, once painted, under the screenshot folder.
    bool screenshot(const std::string& name, int settleMs = 400) const;

    // A service the test may install; the session removes it at its end
    // should the test not have come that far.
    void removeServiceAtEnd(const std::string& name) { services_.push_back(name); }

private:
    std::string root_, home_, jdk_;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    std::vector<std::string> services_;
};

// Known and not deleted: a deleted service stays known, marked for deletion,
// until the service manager lets go of its last handle.
bool serviceRegistered(const std::string& name);
void removeService(const std::string& name);

// A configuration written straight into the store, as a save leaves it.
struct StoredConfiguration {
    std::map<std::string, std::string> texts;
    std::map<std::string, std::uint32_t> numbers;
    std::vector<std::string> options;
};
void storeConfiguration(const std::string& name, const StoredConfiguration& values);
void storeNameList(const std::vector<std::string>& names);
std::vector<std::string> storedNameList();
bool storeHasKey(const std::string& subkey);
std::string storedText(const std::string& name, const std::string& value);
std::uint32_t storedNumber(const std::string& name, const std::string& value);
std::vector<std::string> storedOptions(const std::string& name);

// Paths from the build tree are Unix paths; Wine sees them on drive Z:.
std::string windowsPath(std::string path);
std::string contentOf(const std::string& path);
bool fileExists(const std::string& path);

}  // namespace velmora::e2e
