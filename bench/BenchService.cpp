// bench_service CLI WINDOW NAME [RUNS [LABEL]]: Start and Stop of one installed
// service, from the command line and from the window, on the same machine in
// one run; a start that waits for Tomcat's port against net start alone; a
// change of the description in place; the check before a move to another JDK. The command line's time is its process
// from start to exit; the window's runs from the click on Start/Stop until the status line shows the new state and the
// window takes input again. The window's time is also taken apart: the click taken up (the window disabled), the
// "Working..." notice shown and hidden again (net ran in between), the status line written, the window enabled. LABEL
// names the conditions in the output.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "WindowDriver.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ResourceIds.h"

using namespace velmora;
using namespace velmora::bench;
using namespace velmora::e2e;

namespace {

const std::string kRunning = "Installed - Running";
const std::string kNotRunning = "Installed - Not Running";
constexpr DWORD kBoundMs = 60000;

double millisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The programs' own output goes to the null device, not into the figures.
Handle nullDevice() {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return Handle(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              OPEN_EXISTING, 0, nullptr));
}

// Started by its full path, in its own folder.
bool startProcess(const std::string& program, const std::string& arguments, PROCESS_INFORMATION& started) {
    const Handle nul = nullDevice();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
    std::wstring commandLine = wide("\"" + program + "\" " + arguments);
    const std::wstring folder = wide(program.substr(0, program.find_last_of('\\')));
    return CreateProcessW(wide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                          &startup, &started) != 0;
}

struct CliRun {
    double ms = -1;
    DWORD exitCode = 0;
};

// One command of velmora-cli, from its process start to its exit.
CliRun runCli(const std::string& cli, const std::string& arguments) {
    CliRun run;
    PROCESS_INFORMATION started{};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!startProcess(cli, arguments, started)) return run;
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    if (WaitForSingleObject(process.get(), kBoundMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
        return run;
    }
    run.ms = millisecondsSince(start);
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

// The service manager's word, asked directly: 0 when it does not know the service.
DWORD serviceState(const std::string& name) {
    const ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    const ServiceHandle service(manager ? OpenServiceW(manager.get(), wide(name).c_str(), SERVICE_QUERY_STATUS)
                                        : nullptr);
    SERVICE_STATUS status{};
    return service && QueryServiceStatus(service.get(), &status) ? status.dwCurrentState : 0;
}

// Milliseconds from the click to each point the window passes; < 0 where it was not seen.
struct WindowRun {
    double disabled = -1, noticeShown = -1, noticeHidden = -1, statusShown = -1, done = -1;
};

class Window {
public:
    bool start(const std::string& program) {
        PROCESS_INFORMATION started{};
        if (!startProcess(program, "", started)) return false;
        process_.reset(started.hProcess);
        const Handle thread(started.hThread);
        processId_ = started.dwProcessId;
        WaitForInputIdle(process_.get(), kBoundMs);
        waitUntil(
            [&] {
                for (HWND window : topWindows(processId_))
                    if (GetDlgItem(window, IDC_START)) main_ = window;
                return main_ != nullptr;
            },
            kBoundMs);
        return main_ != nullptr;
    }

    // File > Open, the name typed into its box, OK.
    bool open(const std::string& name) {
        postCommand(main_, IDM_OPEN);
        HWND dialog = nullptr;
        if (!waitUntil([&] { return (dialog = findTopWindow(processId_, "Open Config")) != nullptr; })) return false;
        setWindowText(GetDlgItem(dialog, IDC_OPEN_NAME), name);
        click(GetDlgItem(dialog, IDC_OPEN_OK));
        return waitUntil([&] { return windowText(control(IDC_SERVICE_NAME)) == name; }) && shows(kNotRunning);
    }

    // Waits until the window shows that state and takes input.
    bool shows(const std::string& status) {
        return waitUntil([&] { return ready(status) && IsWindowEnabled(control(IDC_START)); });
    }

    WindowRun clickStartStop(const std::string& expected) {
        // The notice is made the first time a command needs it, then kept.
        if (!notice_) notice_ = findWindowOfTitle("Working...");
        WindowRun run;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        click(control(IDC_START));
        for (;;) {
            const double ms = millisecondsSince(start);
            const bool enabled = IsWindowEnabled(main_) != 0;
            if (run.disabled < 0 && !enabled) run.disabled = ms;
            if (!notice_) notice_ = findWindowOfTitle("Working...");
            const bool noticeUp = notice_ && IsWindowVisible(notice_);
            if (run.noticeShown < 0 && noticeUp) run.noticeShown = ms;
            if (run.noticeShown >= 0 && run.noticeHidden < 0 && !noticeUp) run.noticeHidden = ms;
            if (run.statusShown < 0 && windowTitle(control(IDC_STATUS_TEXT)) == expected) run.statusShown = ms;
            if (run.statusShown >= 0 && enabled) {
                run.done = ms;
                return run;
            }
            if (ms > kBoundMs) return run;
            Sleep(1);
        }
    }

    bool close() {
        if (!process_) return true;
        postCommand(main_, IDM_EXIT);
        const bool ended = WaitForSingleObject(process_.get(), 20000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(process_.get(), 1);
        process_.reset();
        return ended;
    }

private:
    HWND control(int id) const { return GetDlgItem(main_, id); }
    // Read as the system keeps them, without a message to the program's thread.
    bool ready(const std::string& status) const {
        return IsWindowEnabled(main_) && windowTitle(control(IDC_STATUS_TEXT)) == status;
    }
    HWND findWindowOfTitle(const std::string& title) const {
        struct Search {
            DWORD processId;
            std::wstring title;
            HWND found = nullptr;
        } search{processId_, wide(title)};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                auto& s = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t text[64] = {};
                GetWindowTextW(window, text, 64);
                if (owner == s.processId && s.title == text) s.found = window;
                return s.found == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    Handle process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
    HWND notice_ = nullptr;
};

double medianOf(const std::vector<WindowRun>& runs, double WindowRun::*point) {
    std::vector<double> values;
    for (const auto& run : runs) values.push_back(run.*point);
    return median(values);
}

// From one point to the next, medians of each run's own difference.
double medianStep(const std::vector<WindowRun>& runs, double WindowRun::*from, double WindowRun::*to) {
    std::vector<double> values;
    for (const auto& run : runs) values.push_back(run.*to - run.*from);
    return median(values);
}

void printWindowSteps(const std::string& prefix, const char* verb, const std::vector<WindowRun>& runs) {
    std::printf(
        "%s: the window's %s taken apart (medians): click to window disabled %.1f ms, to notice shown "
        "%.1f ms, notice up (net runs) %.1f ms, notice hidden to status shown %.1f ms, status shown to window "
        "enabled %.1f ms\n",
        prefix.c_str(), verb, medianOf(runs, &WindowRun::disabled),
        medianStep(runs, &WindowRun::disabled, &WindowRun::noticeShown),
        medianStep(runs, &WindowRun::noticeShown, &WindowRun::noticeHidden),
        medianStep(runs, &WindowRun::noticeHidden, &WindowRun::statusShown),
        medianStep(runs, &WindowRun::statusShown, &WindowRun::done));
}

bool complete(const std::vector<WindowRun>& runs) {
    for (const auto& run : runs)
        if (run.done < 0 || run.disabled < 0 || run.noticeShown < 0 || run.noticeHidden < 0) return false;
    return !runs.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_service CLI WINDOW NAME [RUNS [LABEL]]\n");
        return 2;
    }
    const std::string cli = narrow(argv[1]), program = narrow(argv[2]), name = narrow(argv[3]);
    const int runs = argc > 4 ? std::atoi(narrow(argv[4]).c_str()) : 9;
    const std::string prefix = argc > 5 ? "service, " + narrow(argv[5]) : "service";
    const char* p = prefix.c_str();

    // One configuration, stored and installed by the command line, without
    // the recovery that Wine's service manager does not keep (and would warn of).
    (void)runCli(cli, "uninstall " + name + " --yes");  // what an interrupted run left
    (void)runCli(cli, "delete " + name + " --yes");
    const CliRun set = runCli(cli, "set " + name +
                                       " description=Benchmark service.recovery.first=0 service.recovery.second=0 "
                                       "service.recovery.later=0 service.recovery.reset=0 "
                                       "service.recovery.on.error.exit=0 --yes");
    const CliRun install = runCli(cli, "install " + name + " --yes");
    if (set.exitCode != 0 || install.exitCode != 0 ||
        !waitUntil([&] { return serviceState(name) == SERVICE_STOPPED; })) {
        std::printf("%s: could not be measured: set exited %lu, install %lu\n", p, set.exitCode, install.exitCode);
        return 1;
    }

    Window window;
    if (!window.start(program) || !window.open(name)) {
        std::printf("%s: could not be measured: the window did not open \"%s\"\n", p, name.c_str());
        window.close();
        return 1;
    }

    // The first round warms both up (the notice is made, the libraries are
    // in the cache); it is shown but not counted.
    std::vector<double> cliStart, cliStop;
    std::vector<WindowRun> windowStart, windowStop;
    WindowRun firstStart, firstStop;
    bool ok = true;
    for (int round = 0; round <= runs && ok; ++round) {
        ok = window.shows(kNotRunning);
        const WindowRun started = window.clickStartStop(kRunning);
        ok = ok && started.done >= 0 && serviceState(name) == SERVICE_RUNNING;
        const WindowRun stopped = window.clickStartStop(kNotRunning);
        ok = ok && stopped.done >= 0 && serviceState(name) == SERVICE_STOPPED;
        const CliRun cliStarted = runCli(cli, "start " + name);
        ok = ok && cliStarted.exitCode == 0 && serviceState(name) == SERVICE_RUNNING;
        const CliRun cliStopped = runCli(cli, "stop " + name);
        ok = ok && cliStopped.exitCode == 0 && serviceState(name) == SERVICE_STOPPED;
        if (round == 0) {
            firstStart = started;
            firstStop = stopped;
            continue;
        }
        windowStart.push_back(started);
        windowStop.push_back(stopped);
        cliStart.push_back(cliStarted.ms);
        cliStop.push_back(cliStopped.ms);
    }
    const bool closed = window.close();
    // The check before a move to another JDK, on the running service: it asks java and stops nothing.
    std::vector<double> repointCheck;
    ok = ok && runCli(cli, "start " + name).exitCode == 0;
    for (int round = 0; round <= runs && ok; ++round) {
        const CliRun checked = runCli(cli, "repoint " + name + " --jdk C:\\jdk-next --check");
        ok = checked.exitCode == 0 && serviceState(name) == SERVICE_RUNNING;
        if (round > 0) repointCheck.push_back(checked.ms);
    }
    (void)runCli(cli, "stop " + name);
    // A start that waits for Tomcat's port against net start alone, which waits for nothing more.
    std::vector<double> netStart, readyStart;
    const std::string net = "C:\\windows\\system32\\net.exe";
    for (int round = 0; round <= runs && ok; ++round) {
        const CliRun byNet = runCli(net, "start " + name);
        ok = waitUntil([&] { return serviceState(name) == SERVICE_RUNNING; });
        (void)runCli(net, "stop " + name);
        ok = ok && waitUntil([&] { return serviceState(name) == SERVICE_STOPPED; });
        const CliRun ready = runCli(cli, "start " + name);
        ok = ok && ready.exitCode == 0;
        (void)runCli(cli, "stop " + name);
        if (round == 0) continue;
        netStart.push_back(byNet.ms);
        readyStart.push_back(ready.ms);
    }
    // A change of the description goes to the service manager in place: no reinstall.
    std::vector<double> describe;
    for (int round = 0; round <= runs && ok; ++round) {
        const CliRun changed = runCli(cli, "set " + name + " description=Benchmark" + std::to_string(round));
        ok = changed.exitCode == 0;
        if (round > 0) describe.push_back(changed.ms);
    }
    const CliRun uninstall = runCli(cli, "uninstall " + name + " --yes");
    const CliRun removed = runCli(cli, "delete " + name + " --yes");
    if (!ok || !complete(windowStart) || !complete(windowStop)) {
        std::printf("%s: could not be measured: a start or stop did not reach its state\n", p);
        return 1;
    }

    const double cs = median(cliStart), cp = median(cliStop);
    const double ws = medianOf(windowStart, &WindowRun::done), wp = medianOf(windowStop, &WindowRun::done);
    std::printf("%s: velmora-cli start %.0f ms, stop %.0f ms (process start to exit, medians of %d)\n", p, cs, cp,
                runs);
    std::printf(
        "%s: the window's Start %.0f ms, Stop %.0f ms (click to the new state shown and the window enabled, "
        "medians of %d; the first, not counted: %.0f / %.0f ms)\n",
        p, ws, wp, runs, firstStart.done, firstStop.done);
    std::printf("%s: window minus command line: Start %+.0f ms, Stop %+.0f ms (target at most +300 ms: %s)\n", p,
                ws - cs, wp - cp, ws <= cs + 300 && wp <= cp + 300 ? "holds" : "missed");
    const double ns = median(netStart), rs = median(readyStart);
    std::printf(
        "%s: velmora-cli start until the port answers %.0f ms, net start alone %.0f ms (medians of %d; "
        "target at most +300 ms: %s)\n",
        p, rs, ns, runs, rs <= ns + 300 ? "holds" : "missed");
    const double rc = median(repointCheck);
    std::printf(
        "%s: velmora-cli repoint --check %.0f ms, the service running all along (median of %d; target "
        "under 2000 ms: %s)\n",
        p, rc, runs, rc < 2000 ? "holds" : "missed");
    const double dc = median(describe);
    std::printf(
        "%s: velmora-cli set of the installed service's description %.0f ms (median of %d; target under "
        "500 ms: %s)\n",
        p, dc, runs, dc < 500 ? "holds" : "missed");
    printWindowSteps(prefix, "Start", windowStart);
    printWindowSteps(prefix, "Stop", windowStop);
    if (!closed || uninstall.exitCode != 0 || removed.exitCode != 0)
        std::printf("%s: note: cleaning up did not go through (window %s, uninstall exited %lu, delete %lu)\n", p,
                    closed ? "closed" : "ended", uninstall.exitCode, removed.exitCode);
    return 0;
}
