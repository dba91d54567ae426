#include "e2eSession.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "WindowDriver.h"
#include "config/Encodings.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::e2e {

namespace {

constexpr int kStartWaitMs = 60000;  // a cold Wine start takes its time

void makeFile(const std::string& path) { std::ofstream(path) << "e2e\n"; }

std::string screenshotFolder() {
    std::string folder = windowsPath(VELMORA_SCREENSHOT_DIR);
    std::filesystem::create_directories(folder);
    return folder;
}

// As other registry tools write it: a final extra NUL ends the list.
std::string multiString(const std::vector<std::string>& entries) { return encodeMultiString(entries) + '\0'; }

std::string configurationKey(const std::string& name) { return std::string(kStoreKey) + "\\" + name; }

constexpr RootKey kRoot = HKEY_LOCAL_MACHINE_ROOT;

void clearStore() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kStoreKey); }

}  // namespace

std::string windowsPath(std::string path) {
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

Session::Session() {
    static int counter = 0;
    root_ = (std::filesystem::temp_directory_path() /
             ("velmora-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter)))
                .string();
    home_ = root_ + "\\tomcat";
    jdk_ = root_ + "\\jdk";
    for (const char* folder : {"\\bin", "\\conf", "\\logs", "\\temp", "\\common\\lib", "\\common\\endorsed", "\\server",
                               "\\shared", "\\webapps", "\\work"})
        std::filesystem::create_directories(home_ + folder);
    for (const char* folder : {"\\lib", "\\jre\\bin\\server", "\\jre\\bin\\client"})
        std::filesystem::create_directories(jdk_ + folder);
    for (const char* file : {"\\bin\\bootstrap.jar", "\\conf\\server.xml", "\\conf\\catalina.policy"})
        makeFile(home_ + file);
    for (const char* file : {"\\lib\\tools.jar", "\\jre\\bin\\server\\jvm.dll", "\\jre\\bin\\client\\jvm.dll"})
        makeFile(jdk_ + file);
    CopyFileA(windowsPath(VELMORA_EXE).c_str(), (home_ + "\\bin\\velmora.exe").c_str(), FALSE);
    CopyFileA(windowsPath(VELMORA_WRAPPER_EXE).c_str(), (home_ + "\\bin\\tomcat.exe").c_str(), FALSE);
    clearStore();
}

Session::~Session() {
    if (process_.hProcess) {
        if (!exited(0)) {
            if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
            if (!exited(5000)) TerminateProcess(process_.hProcess, 1);
            exited(5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    for (const std::string& name : services_) removeService(name);
    clearStore();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

bool Session::start(const std::string& arguments) {
    SetEnvironmentVariableA("java_home", jdk_.c_str());
    const std::string program = home_ + "\\bin\\velmora.exe";
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, root_.c_str(),
                        &startup, &process_))
        return false;
    waitUntil([&] { return (main_ = findTopWindow(process_.dwProcessId, kMainCaption)) != nullptr; }, kStartWaitMs);
    return main_ != nullptr;
}

bool Session::exited(int waitMs) {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, static_cast<DWORD>(waitMs)) == WAIT_OBJECT_0;
}

std::string Session::text(int id) const { return windowText(control(id)); }

std::string Session::answer(const std::string& title, int button) const {
    return answerMessageBox(process_.dwProcessId, title, button);
}

HWND Session::openMessageBox() const {
    for (const char* title : {"Confirm", "Info", "Warning", "Missing Folder", "Change Detected"})
        if (HWND box = findTopWindow(process_.dwProcessId, title)) return box;
    return nullptr;
}

bool Session::screenshot(const std::string& name, int settleMs) const {
    Sleep(static_cast<DWORD>(settleMs));
    return saveScreenshot(topWindows(process_.dwProcessId), screenshotFolder() + "\\" + name + ".bmp");
}

bool serviceRegistered(const std::string& name) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, name.c_str(), SERVICE_CHANGE_CONFIG) : nullptr;
    bool registered = false;
    if (service) {
        // Changing nothing succeeds unless the service is marked for deletion.
        registered = ChangeServiceConfigA(service, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, nullptr,
                                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) ||
                     GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE;
        CloseServiceHandle(service);
    }
    if (manager) CloseServiceHandle(manager);
    return registered;
}

void removeService(const std::string& name) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    SC_HANDLE service = manager ? OpenServiceA(manager, name.c_str(), SERVICE_ALL_ACCESS) : nullptr;
    if (service) {
        SERVICE_STATUS status{};
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        waitUntil([&] { return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED; },
                  15000);
        DeleteService(service);
        CloseServiceHandle(service);
    }
    if (manager) CloseServiceHandle(manager);
}

void storeConfiguration(const std::string& name, const StoredConfiguration& values) {
    Win32Registry registry;
    for (const auto& [value, text] : values.texts) registry.setStringValue(kRoot, configurationKey(name), value, text);
    for (const auto& [value, number] : values.numbers)
        registry.setDwordValue(kRoot, configurationKey(name), value, static_cast<std::int32_t>(number));
    registry.setMultiStringValue(kRoot, configurationKey(name), "additional.jvm.options", multiString(values.options));
}

void storeNameList(const std::vector<std::string>& names) {
    Win32Registry().setMultiStringValue(kRoot, kStoreKey, "services", multiString(names));
}

// Read through the registry layer, which the registry contract holds to the system's own rules.
std::vector<std::string> storedNameList() { return decodeMultiString(Win32Registry().queryStringValue(kRoot, kStoreKey, "services").value_or("")); }

bool storeHasKey(const std::string& subkey) { return Win32Registry().keyContents(kRoot, subkey).has_value(); }

std::string storedText(const std::string& name, const std::string& value) {
    return Win32Registry().queryStringValue(kRoot, configurationKey(name), value).value_or("");
}

std::uint32_t storedNumber(const std::string& name, const std::string& value) {
    return static_cast<std::uint32_t>(Win32Registry().queryDwordValue(kRoot, configurationKey(name), value));
}

std::vector<std::string> storedOptions(const std::string& name) {
    return decodeMultiString(Win32Registry().queryStringValue(kRoot, configurationKey(name), "additional.jvm.options").value_or(""));
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool fileExists(const std::string& path) { return Win32Files().fileExists(path); }

}  // namespace velmora::e2e
