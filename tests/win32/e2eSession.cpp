#include <winsock2.h>

#include "e2eSession.h"

#include <aclapi.h>
#include <lm.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <cstdio>

#include <algorithm>
#include <filesystem>

#include "WindowDriver.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32Registry.h"

namespace velmora::e2e {

namespace {

constexpr int kStartWaitMs = 60000;        // a cold Wine start takes its time
constexpr ULONGLONG kCliBoundMs = 120000;  // longer than any command's bounded programs
constexpr ULONGLONG kPipeEndMs = 5000;     // for the pipes to end once the program has

std::string configurationKey(const std::string& name) { return std::string(kStoreKey) + "\\" + name; }

std::filesystem::path pathOf(const std::string& path) { return std::filesystem::path(wide(path)); }

void copyBuilt(const char* built, const std::string& to) {
    CopyFileW(wide(windowsPath(built)).c_str(), wide(to).c_str(), FALSE);
}

// The list's entries, each ended by a NUL, as REG_MULTI_SZ holds them.
std::vector<std::string> entriesOf(const std::optional<RegistryValue>& value) {
    std::vector<std::string> entries;
    if (!value || value->type != REG_MULTI_SZ) return entries;
    std::size_t at = 0;
    for (std::size_t end; (end = value->text.find('\0', at)) != std::string::npos; at = end + 1)
        if (end > at) entries.push_back(value->text.substr(at, end - at));
    return entries;
}

// Takes what the pipe holds now; false once its writers are all gone.
bool drain(HANDLE pipe, std::string& into) {
    DWORD available = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr)) return false;
    if (available == 0) return true;
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!ReadFile(pipe, chunk.data(), available, &read, nullptr)) return false;
    into.append(chunk, 0, read);
    return true;
}

}  // namespace

void makeCatalinaHome(const std::string& home, Layout layout) {
    const bool modern = layout == Layout::Modern;
    for (const char* folder : {"\\bin", "\\conf", "\\logs", "\\temp", "\\webapps", "\\work"})
        makeFolders(home + folder);
    for (const char* folder :
         modern ? std::vector<const char*>{"\\lib"}
                : std::vector<const char*>{"\\common\\lib", "\\common\\endorsed", "\\server", "\\shared"})
        makeFolders(home + folder);
    for (const char* file : {"\\bin\\bootstrap.jar", "\\conf\\catalina.policy"}) makeFile(home + file);
    // No port at all: whatever listens on this machine, and however many
    // configurations share the home, no check finds a port taken.
    makeFile(home + "\\conf\\server.xml",
             "<?xml version=\"1.0\"?>\r\n<Server port=\"-1\" shutdown=\"SHUTDOWN\">\r\n</Server>\r\n");
    if (modern) {
        for (const char* file : {"\\bin\\tomcat-juli.jar", "\\lib\\catalina.jar", "\\conf\\logging.properties"})
            makeFile(home + file);
        copyBuilt(VELMORA_MODERN_WRAPPER_EXE, home + "\\bin\\tomcat10.exe");
    } else {
        copyBuilt(VELMORA_WRAPPER_EXE, home + "\\bin\\tomcat.exe");
    }
    copyBuilt(VELMORA_EXE, home + "\\bin\\velmora.exe");
    copyBuilt(VELMORA_CLI_EXE, home + "\\bin\\velmora-cli.exe");
}

void makeJdk(const std::string& jdk, Layout layout) {
    // Its java.exe refuses what the JVM beside it would refuse.
    makeFolders(jdk + "\\bin");
    copyBuilt(VELMORA_JAVA_EXE, jdk + "\\bin\\java.exe");
    if (layout == Layout::Modern) {
        makeFolders(jdk + "\\bin\\server");
        makeFolders(jdk + "\\lib");
        makeFile(jdk + "\\release", "JAVA_VERSION=\"21.0.5\"\r\n");
        makeFile(jdk + "\\bin\\server\\jvm.dll");
        return;
    }
    for (const char* folder : {"\\lib", "\\jre\\bin\\server", "\\jre\\bin\\client"}) makeFolders(jdk + folder);
    for (const char* file : {"\\lib\\tools.jar", "\\jre\\bin\\server\\jvm.dll", "\\jre\\bin\\client\\jvm.dll"})
        makeFile(jdk + file);
}

TempFolder::TempFolder() {
    static int counter = 0;
    const std::wstring name =
        L"velmora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    path_ = narrow((std::filesystem::temp_directory_path() / name).wstring());
    makeFolders(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(pathOf(path_), ignored);
}

LoopbackPort::LoopbackPort(bool listening) {
    WSADATA winsock{};
    WSAStartup(MAKEWORD(2, 2), &winsock);
    const SOCKET bound = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    socket_ = bound;
    if (bound == INVALID_SOCKET) WSACleanup();  // close() ends what a socket began
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof at;
    if (bound != INVALID_SOCKET && bind(bound, reinterpret_cast<sockaddr*>(&at), length) == 0 &&
        (!listening || listen(bound, 1) == 0) && getsockname(bound, reinterpret_cast<sockaddr*>(&at), &length) == 0)
        port = ntohs(at.sin_port);
}

void LoopbackPort::close() {
    if (socket_ == INVALID_SOCKET) return;
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
    WSACleanup();
}

Session::Session(Layout layout) {
    home_ = root_.path() + (layout == Layout::Modern ? "\\tomcat10" : "\\tomcat");
    jdk_ = root_.path() + "\\jdk";
    makeCatalinaHome(home_, layout);
    makeJdk(jdk_, layout);
    SetEnvironmentVariableW(L"java_home", wide(jdk_).c_str());
    clearStore();
}

Session::~Session() {
    if (process_.hProcess) {
        if (!exited(0)) {
            if (main_) PostMessageW(main_, WM_CLOSE, 0, 0);
            if (!exited(5000)) TerminateProcess(process_.hProcess, 1);
            exited(5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    for (const std::string& name : services_) removeService(name);
    clearStore();
}

bool Session::start(const std::string& arguments) {
    const std::wstring program = wide(bin("velmora.exe"));
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + wide(arguments));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        wide(root_.path()).c_str(), &startup, &process_))
        return false;
    waitUntil([&] { return (main_ = findTopWindow(process_.dwProcessId, kMainCaption)) != nullptr; }, kStartWaitMs);
    return main_ != nullptr;
}

bool Session::exited(int waitMs) {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, static_cast<DWORD>(waitMs)) == WAIT_OBJECT_0;
}

bool Session::type(int id, const std::string& text, bool tabOn) const {
    HWND box = control(id);
    // The cursor of a size box is in the edit box inside it.
    auto inBox = [&] { return focusedWindow(main_) == box || GetParent(focusedWindow(main_)) == box; };
    // Asked again now and then: a window that has just come back from a
    // command may have let the first request go by.
    int polls = 0;
    if (!waitUntil([&] {
            if (polls++ % 20 == 0) focusControl(main_, box);
            return inBox();
        }))
        return false;
    // Typed key by key as a user types: the keys come after what the window
    // still has to do, such as taking the text of the box left before.
    HWND edit = focusedWindow(main_);
    PostMessageW(edit, EM_SETSEL, 0, -1);
    if (text.empty()) PostMessageW(edit, WM_CHAR, VK_BACK, 1);
    for (wchar_t unit : wide(text)) PostMessageW(edit, WM_CHAR, unit, 1);
    if (!waitUntil([&] { return windowText(box) == text; })) return false;
    if (!tabOn) return true;
    pressTab(edit);
    return waitUntil([&] { return !inBox(); });
}

bool Session::waitUntilIdle() const {
    // A message box hands its owner back its input for a moment before the
    // command behind it disables the window again: enabled twice counts.
    return waitUntil([&] { return IsWindowEnabled(main_) && (Sleep(150), IsWindowEnabled(main_)); });
}

CliRun Session::cli(const std::string& arguments, const std::string& input) const {
    CliRun run;
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    Handle outRead, outWrite, errRead, errWrite, inRead, inWrite;
    if (!CreatePipe(outRead.receive(), outWrite.receive(), &inheritable, 0) ||
        !CreatePipe(errRead.receive(), errWrite.receive(), &inheritable, 0) ||
        (!input.empty() && !CreatePipe(inRead.receive(), inWrite.receive(), &inheritable, 0)))
        return run;
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);
    if (!input.empty()) {
        // Small enough for the pipe's buffer: written whole before the program starts.
        SetHandleInformation(inWrite.get(), HANDLE_FLAG_INHERIT, 0);
        DWORD written = 0;
        WriteFile(inWrite.get(), input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
        inWrite.reset();
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead.get();
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    const std::wstring program = wide(bin("velmora-cli.exe"));
    std::wstring commandLine = L"\"" + program + L"\" " + wide(arguments);
    PROCESS_INFORMATION started{};
    const ULONGLONG begun = GetTickCount64();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        wide(root_.path()).c_str(), &startup, &started))
        return run;
    const Handle process(started.hProcess), thread(started.hThread);
    // Only the program holds the pipes' other ends now.
    outWrite.reset();
    errWrite.reset();
    inRead.reset();

    bool outOpen = true, errOpen = true;
    ULONGLONG ended = 0;
    for (;;) {
        if (outOpen) outOpen = drain(outRead.get(), run.out);
        if (errOpen) errOpen = drain(errRead.get(), run.err);
        const ULONGLONG now = GetTickCount64();
        if (!ended && WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) ended = now;
        if (!outOpen && !errOpen && ended) break;
        if ((ended && now - ended > kPipeEndMs) || now - begun > kCliBoundMs) {
            run.pipesEnded = false;
            break;
        }
        Sleep(20);
    }
    if (!ended) TerminateProcess(process.get(), 255);
    WaitForSingleObject(process.get(), 5000);
    DWORD code = 255;
    GetExitCodeProcess(process.get(), &code);
    run.code = static_cast<int>(code);
    run.ms = static_cast<DWORD>((ended ? ended : GetTickCount64()) - begun);
    for (std::string* text : {&run.out, &run.err})
        text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    return run;
}

std::string Session::text(int id) const { return windowText(control(id)); }

// Until the box is gone, not just hidden: closing, it hands its owner back its input.
std::string Session::answer(const std::string& title, int button) const {
    HWND box = waitForMessageBox(process_.dwProcessId, title);
    if (!box) return "";
    const std::string message = messageBoxText(box);
    click(GetDlgItem(box, button));
    waitUntil([&] { return !IsWindow(box); });
    return message;
}

HWND Session::openMessageBox() const {
    for (const char* title : {"Confirm", "Info", "Warning", "Missing Folder", "Change Detected"})
        if (HWND box = findTopWindow(process_.dwProcessId, title)) return box;
    return nullptr;
}

bool Session::screenshot(const std::string& name, int settleMs) const {
    Sleep(static_cast<DWORD>(settleMs));
    const std::string folder = windowsPath(VELMORA_SCREENSHOT_DIR);
    makeFolders(folder);
    return saveScreenshot(topWindows(process_.dwProcessId), folder + "\\" + name + ".bmp");
}

ScopedVariable::ScopedVariable(const std::string& name, const std::string& value) : name_(name) {
    SetEnvironmentVariableW(wide(name).c_str(), wide(value).c_str());
}

ScopedVariable::~ScopedVariable() { SetEnvironmentVariableW(wide(name_).c_str(), nullptr); }

namespace {

ServiceHandle openService(const std::string& name, DWORD access) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    return ServiceHandle(manager ? OpenServiceW(manager.get(), wide(name).c_str(), access) : nullptr);
}

DWORD stateOf(SC_HANDLE service) {
    SERVICE_STATUS status{};
    return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

}  // namespace

bool serviceRegistered(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_CHANGE_CONFIG);
    if (!service) return false;
    // Changing nothing succeeds unless the service is marked for deletion.
    return ChangeServiceConfigW(service.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, nullptr,
                                nullptr, nullptr, nullptr, nullptr, nullptr, nullptr) ||
           GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE;
}

bool serviceRunning(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_QUERY_STATUS);
    return service && stateOf(service.get()) == SERVICE_RUNNING;
}

ServiceConfig serviceConfig(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_QUERY_CONFIG);
    std::vector<QUERY_SERVICE_CONFIGW> config(64);  // 2 KiB and more, whole records
    DWORD needed = 0;
    if (!service || !QueryServiceConfigW(service.get(), config.data(),
                                         static_cast<DWORD>(config.size() * sizeof config[0]), &needed))
        return {};
    ServiceConfig found;
    found.programLine = narrow(config[0].lpBinaryPathName);
    found.account = narrow(config[0].lpServiceStartName);
    found.startType = config[0].dwStartType;
    for (const wchar_t* entry = config[0].lpDependencies; entry && *entry; entry += wcslen(entry) + 1)
        found.dependencies.push_back(narrow(entry));
    // Each further part by its level, into records as long as the one above.
    auto part = [&](DWORD level) {
        return QueryServiceConfig2W(service.get(), level, reinterpret_cast<BYTE*>(config.data()),
                                    static_cast<DWORD>(config.size() * sizeof config[0]), &needed);
    };
    if (part(SERVICE_CONFIG_DELAYED_AUTO_START_INFO))
        found.delayed = reinterpret_cast<SERVICE_DELAYED_AUTO_START_INFO*>(config.data())->fDelayedAutostart;
    if (part(SERVICE_CONFIG_FAILURE_ACTIONS_FLAG))
        found.actionsOnErrorExit =
            reinterpret_cast<SERVICE_FAILURE_ACTIONS_FLAG*>(config.data())->fFailureActionsOnNonCrashFailures;
    if (part(SERVICE_CONFIG_FAILURE_ACTIONS)) {
        const auto* actions = reinterpret_cast<SERVICE_FAILURE_ACTIONSW*>(config.data());
        found.resetSeconds = actions->dwResetPeriod;
        for (DWORD i = 0; i < actions->cActions; ++i)
            found.restartDelays.push_back(
                actions->lpsaActions[i].Type == SC_ACTION_RESTART ? actions->lpsaActions[i].Delay : 0);
    }
    return found;
}

std::string serviceDescription(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_QUERY_CONFIG);
    std::vector<SERVICE_DESCRIPTIONW> buffer(256);
    DWORD needed = 0;
    if (!service ||
        !QueryServiceConfig2W(service.get(), SERVICE_CONFIG_DESCRIPTION, reinterpret_cast<BYTE*>(buffer.data()),
                              static_cast<DWORD>(buffer.size() * sizeof buffer[0]), &needed))
        return "<none>";
    return narrow(buffer[0].lpDescription);
}

bool createService(const std::string& name, const std::string& programLine) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    const ServiceHandle service(
        manager ? CreateServiceW(manager.get(), wide(name).c_str(), wide(name).c_str(), SERVICE_QUERY_STATUS,
                                 SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                                 wide(programLine).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr)
                : nullptr);
    // A service just made takes a moment to reach other processes.
    return service && waitUntil([&] { return serviceRegistered(name); });
}

bool startService(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_START | SERVICE_QUERY_STATUS);
    return service && StartServiceW(service.get(), 0, nullptr) &&
           waitUntil([&] { return stateOf(service.get()) == SERVICE_RUNNING; });
}

bool stopService(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_STOP | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    if (!service) return false;
    // Windows passes no stop to a service still starting, and Wine none before the service's program has said
    // it takes one (a loaded machine may take longer than a start's timeout to get there): the stop is sent
    // again until it is taken. Any other answer (not active: stopped already) leaves the state to say.
    waitUntil([&] {
        if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) return true;
        const DWORD error = GetLastError();
        return error != ERROR_SERVICE_CANNOT_ACCEPT_CTRL && error != ERROR_INVALID_SERVICE_CONTROL;
    });
    return waitUntil([&] { return stateOf(service.get()) == SERVICE_STOPPED; });
}

void removeService(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) return;
    SERVICE_STATUS status{};
    ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    waitUntil([&] { return stateOf(service.get()) == SERVICE_STOPPED; }, 15000);
    DeleteService(service.get());
}

bool underWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

void leftOut(const std::string& why) { std::printf("[ LEFT OUT ] %s\n", why.c_str()); }

std::vector<std::string> settingsWarnings(const std::string& name) {
    if (!underWine()) return {};
    return {"The service manager refused the recovery after a stop with an error of the service " + quoted(name) +
                ": Invalid level.",
            "The recovery after failures of the service " + quoted(name) + " reads back other than it was set."};
}

LocalAccount::LocalAccount(const std::string& name, const std::string& password) {
    if (underWine()) return;
    std::wstring user = wide(name), secret = wide(password);
    USER_INFO_1 info{};
    info.usri1_name = user.data();
    info.usri1_password = secret.data();
    info.usri1_priv = USER_PRIV_USER;
    info.usri1_flags = UF_SCRIPT | UF_DONT_EXPIRE_PASSWD;
    NetUserDel(nullptr, user.c_str());  // left by an interrupted run
    if (NetUserAdd(nullptr, 1, reinterpret_cast<BYTE*>(&info), nullptr) == NERR_Success) name_ = name;
}

LocalAccount::~LocalAccount() {
    if (!name_.empty()) NetUserDel(nullptr, wide(name_).c_str());
}

bool onlyAdministratorsMayWrite(const std::string& folder, bool only) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(
            only ? L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FR;;;BU)" : L"D:", SDDL_REVISION_1, &descriptor,
            nullptr))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted);
    std::wstring path = wide(folder);
    const DWORD set = SetNamedSecurityInfoW(path.data(), SE_FILE_OBJECT,
                                            DACL_SECURITY_INFORMATION | (only ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                              : UNPROTECTED_DACL_SECURITY_INFORMATION),
                                            nullptr, nullptr, list, nullptr);
    LocalFree(descriptor);
    return set == ERROR_SUCCESS;
}

DWORD serviceProcessId(const std::string& name) {
    const ServiceHandle service = openService(name, SERVICE_QUERY_STATUS);
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    if (!service || !QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof status, &needed))
        return 0;
    return status.dwCurrentState == SERVICE_RUNNING ? status.dwProcessId : 0;
}

std::vector<std::string> WrapperRuns::lines() const {
    std::vector<std::string> lines;
    const std::string text = contentOf(path_);
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

bool processRuns(const std::string& fileName) {
    const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const std::wstring wanted = wide(fileName);
    for (BOOL more = snapshot && Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry))
        if (CompareStringOrdinal(entry.szExeFile, -1, wanted.c_str(), -1, TRUE) == CSTR_EQUAL) return true;
    return false;
}

void clearStore() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, wide(kStoreKey).c_str()); }

void storeConfiguration(const std::string& name, const StoredValues& values) {
    std::vector<RegistryWrite> writes;
    for (const auto& [value, text] : values.texts) writes.push_back(RegistryWrite::textValue(value, text));
    for (const auto& [value, number] : values.numbers) writes.push_back(RegistryWrite::numberValue(value, number));
    if (!values.options.empty()) writes.push_back(RegistryWrite::listValue("additional.jvm.options", values.options));
    Win32Registry().write(kLocalMachine, configurationKey(name), writes);
}

void storeNameList(const std::vector<std::string>& names) {
    Win32Registry().write(kLocalMachine, kStoreKey, {RegistryWrite::listValue("services", names)});
}

std::vector<std::string> storedNameList() {
    return entriesOf(Win32Registry().read(kLocalMachine, kStoreKey, "services"));
}

bool storeHasKey(const std::string& name) { return machineKeyExists(configurationKey(name)); }

std::string storedText(const std::string& name, const std::string& value) {
    return machineText(configurationKey(name), value);
}

std::uint32_t storedNumber(const std::string& name, const std::string& value) {
    const auto read = Win32Registry().read(kLocalMachine, configurationKey(name), value);
    return read && read->type == REG_DWORD ? read->number : 0xDEADu;
}

std::vector<std::string> storedOptions(const std::string& name) {
    return entriesOf(Win32Registry().read(kLocalMachine, configurationKey(name), "additional.jvm.options"));
}

std::string machineText(const std::string& key, const std::string& value) {
    const auto read = Win32Registry().read(kLocalMachine, key, value);
    if (!read) return "<missing>";
    if (read->type != REG_SZ) return "<type " + std::to_string(read->type) + ">";
    // Up to the terminating NUL that a text is written with; a NUL inside shows.
    return read->text.size() && read->text.back() == '\0' ? read->text.substr(0, read->text.size() - 1) : read->text;
}

std::string procrunKey(const std::string& service) {
    return "SOFTWARE\\WOW6432Node\\Apache Software Foundation\\Procrun 2.0\\" + service + "\\Parameters";
}

bool machineKeyExists(const std::string& key) { return Win32Registry().contents(kLocalMachine, key).has_value(); }

std::map<std::string, std::string> machineValues(const std::string& key) {
    Win32Registry registry;
    const auto names = registry.contents(kLocalMachine, key).value_or(KeyContents{}).valueNames;
    const auto values = registry.readMany(kLocalMachine, key, names);
    std::map<std::string, std::string> shown;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string& text = shown[names[i]];
        if (!values[i])
            text = "<unreadable>";
        else if (values[i]->type == REG_SZ)
            text = values[i]->text.substr(0, values[i]->text.find('\0'));
        else if (values[i]->type == REG_DWORD)
            text = std::to_string(values[i]->number);
        else if (values[i]->type == REG_MULTI_SZ)
            for (const auto& entry : entriesOf(values[i])) text += entry + "|";
        else
            text = "<type " + std::to_string(values[i]->type) + ">";
    }
    return shown;
}

std::uint64_t machineKeyWritten(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(key).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return 0;
    const RegistryKey owned(opened);
    FILETIME written{};
    if (RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, &written) != ERROR_SUCCESS)
        return 0;
    return (std::uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
}

std::string windowsPath(std::string path) {
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string contentOf(const std::string& path) {
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    std::string content;
    char chunk[4096];
    DWORD read = 0;
    while (file && ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) content.append(chunk, read);
    return content;
}

void makeFile(const std::string& path, const std::string& content) {
    const Handle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

bool fileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void makeFolders(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(pathOf(path), ignored);
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string quoted(const std::string& text) {
    std::string result(1, '"');  // appended in place: GCC 12 warns falsely of overlap for "\"" + text
    return result.append(text).append(1, '"');
}

FILETIME hoursAgo(int hours) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const ULONGLONG back = ((ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime) - hours * 36000000000ULL;
    return FILETIME{static_cast<DWORD>(back), static_cast<DWORD>(back >> 32)};
}

std::string localDate(int daysBack, const char* format) {
    const FILETIME then = hoursAgo(24 * daysBack);
    SYSTEMTIME utc{}, local{};
    FileTimeToSystemTime(&then, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    char text[16] = {};
    std::snprintf(text, sizeof text, format, local.wYear, local.wMonth, local.wDay);
    return text;
}

}  // namespace velmora::e2e
