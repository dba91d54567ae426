// demo_walk VELMORA_EXE SCREENSHOT_FOLDER
// Walks through the main job in velmora.exe as a user would, printing each
// step with what the window then shows and saving a screenshot of it.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <string>

#include "WindowDriver.h"
#include "app/Version.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"
#include "ui/win32/ResourceIds.h"

using namespace velmora::e2e;

namespace {

const std::string kName = "demo";

class Walk {
public:
    Walk(std::string program, std::string shots) : program_(std::move(program)), shots_(std::move(shots)) {}

    bool start() {
        // The program's console children (net, the wrapper) talk to the
        // null device, not into the walk's report.
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const velmora::Handle nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              &inherit, OPEN_EXISTING, 0, nullptr));
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
        std::wstring commandLine = velmora::wide("\"" + program_ + "\"");
        const std::wstring folder = velmora::wide(program_.substr(0, program_.find_last_of('\\')));
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(velmora::wide(program_).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            folder.c_str(), &startup, &started))
            return false;
        process_.reset(started.hProcess);
        const velmora::Handle thread(started.hThread);
        processId_ = started.dwProcessId;
        waitUntil([&] { return (main_ = findTopWindow(processId_, "Velmora - " + velmora::versionText())) != nullptr; },
                  60000);
        return main_ != nullptr;
    }

    // One step: act, wait for the window to show `expected` in the status
    // line (when given), print what it shows, and take its picture.
    void step(const std::string& title, const std::function<void()>& act, const std::string& expected = "") {
        ++steps_;
        std::printf("\n%d. %s\n", steps_, title.c_str());
        act();
        bool ok = expected.empty() || waitUntil([&] { return text(IDC_STATUS_TEXT) == expected; });
        std::printf("   status: \"%s\"   buttons: [%s] [%s%s]\n", text(IDC_STATUS_TEXT).c_str(),
                    text(IDC_INSTALL).c_str(), text(IDC_START).c_str(),
                    IsWindowEnabled(control(IDC_START)) ? "" : ", disabled");
        if (!ok) {
            std::printf("   expected the status \"%s\"\n", expected.c_str());
            failed_ = true;
        }
        char name[64];
        std::snprintf(name, sizeof name, "%02d-%s.bmp", steps_, slug(title).c_str());
        Sleep(300);
        if (saveScreenshot(topWindows(processId_), shots_ + "\\" + name)) std::printf("   screenshot: %s\n", name);
    }

    // Presses a button of the message box with this title and prints it.
    void answer(const std::string& title, int button, const std::string& buttonName) {
        const std::string message = answerMessageBox(processId_, title, button);
        if (message.empty()) {
            std::printf("   no \"%s\" message box came\n", title.c_str());
            failed_ = true;
            return;
        }
        std::printf("   message box \"%s\": %s  -> %s\n", title.c_str(), message.c_str(), buttonName.c_str());
    }

    // Answers the warnings an install may give on the way (Wine's service
    // manager refuses some service settings), then the box with this title.
    void answerPastWarnings(const std::string& title) {
        HWND box = nullptr;
        while (waitUntil(
                   [&] { return (box = findTopWindow(processId_, "Warning")) || findTopWindow(processId_, title); }) &&
               box)
            answer("Warning", IDOK, "OK");
        answer(title, IDOK, "OK");
    }

    void typeServiceName(const std::string& name) {
        HWND box = control(IDC_SERVICE_NAME);
        focusControl(main_, box);
        waitUntil([&] { return focusedWindow(main_) == box; });
        setWindowText(box, name);
        pressTab(box);
        waitUntil([&] { return focusedWindow(main_) != box; });
        std::printf("   typed \"%s\" as the Service Name and tabbed on\n", name.c_str());
    }

    void click(int id) { velmora::e2e::click(control(id)); }
    void menu(int id) { postCommand(main_, id); }

    bool finish() {
        postCommand(main_, IDM_EXIT);
        const bool ended = WaitForSingleObject(process_.get(), 20000) == WAIT_OBJECT_0;
        if (!ended) TerminateProcess(process_.get(), 1);
        std::printf("\n%d steps; File > Exit %s.\n", steps_, ended ? "ended the program" : "did not end the program");
        return ended && !failed_;
    }

    bool failed() const { return failed_; }

private:
    HWND control(int id) const { return GetDlgItem(main_, id); }
    std::string text(int id) const { return windowText(control(id)); }
    static std::string slug(const std::string& title) {
        std::string out;
        for (char c : title) {
            if (std::isalnum(static_cast<unsigned char>(c)))
                out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            else if (!out.empty() && out.back() != '-')
                out += '-';
            if (out.size() >= 30) break;
        }
        while (!out.empty() && out.back() == '-') out.pop_back();
        return out;
    }

    std::string program_, shots_;
    velmora::Handle process_;
    DWORD processId_ = 0;
    HWND main_ = nullptr;
    int steps_ = 0;
    bool failed_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: demo_walk VELMORA_EXE SCREENSHOT_FOLDER\n");
        return 2;
    }
    const std::string program = velmora::narrow(argv[1]);
    Walk walk(program, velmora::narrow(argv[2]));
    std::printf("Starting %s\n", program.c_str());
    if (!walk.start()) {
        std::printf("The main window did not appear.\n");
        return 1;
    }
    walk.step("Start-up: a new configuration from the program's folder", [] {});
    walk.step("A new configuration named demo, saved with File > Save", [&] {
        walk.typeServiceName(kName);
        walk.menu(IDM_SAVE);
        walk.answer("Info", IDOK, "OK");
    });
    walk.step(
        "Install",
        [&] {
            walk.click(IDC_INSTALL);
            walk.answerPastWarnings("Info");
        },
        "Installed - Not Running");
    walk.step(
        "Start", [&] { walk.click(IDC_START); }, "Installed - Running");
    walk.step(
        "Refresh the status line", [&] { walk.click(IDC_REFRESH); }, "Installed - Running");
    walk.step("Help > Check Configuration writes the report", [&] {
        walk.menu(IDM_CHECK_CONFIGURATION);
        const std::string report = program.substr(0, program.find_last_of('\\')) + "\\quenby-" + kName + "-debug.html";
        const bool written =
            waitUntil([&] { return GetFileAttributesW(velmora::wide(report).c_str()) != INVALID_FILE_ATTRIBUTES; });
        std::printf("   report %s: %s\n", written ? "written" : "NOT written", report.c_str());
    });
    walk.step(
        "Stop", [&] { walk.click(IDC_START); }, "Installed - Not Running");
    walk.step(
        "Uninstall",
        [&] {
            walk.click(IDC_INSTALL);
            walk.answer("Info", IDOK, "OK");
        },
        "Not installed");
    walk.step(
        "Delete the configuration with File > Delete",
        [&] {
            walk.menu(IDM_DELETE);
            walk.answer("Info", IDOK, "OK");
        },
        "Not installed");
    const bool ok = walk.finish();
    std::printf("Walk %s (exit status %d).\n", ok ? "completed" : "FAILED", ok ? 0 : 1);
    return ok ? 0 : 1;
}
