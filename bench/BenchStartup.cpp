// bench_startup PROGRAM BARE DIALOG [RUNS]: the time from process start until
// the main window takes input, for the program against its own main window
// made bare (DIALOG: the same template and manifest, no program behind it),
// against a bare window holding as many plain controls, and against the empty
// bare window.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"

using namespace velmora::bench;

namespace {

int controlsSeen = 0;

BOOL CALLBACK countControl(HWND, LPARAM) {
    ++controlsSeen;
    return TRUE;
}

BOOL CALLBACK closeWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId) && IsWindowVisible(window)) {
        controlsSeen = 0;
        EnumChildWindows(window, countControl, 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

// Milliseconds until the program waits for input with its window up; < 0 on failure.
double startUp(const std::string& program, const std::string& arguments = "") {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\" " + arguments;
    std::string folder = program.substr(0, program.find_last_of('\\'));
    DWORD waited = WAIT_FAILED;
    const double ms = millisecondsOf([&] {
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                            &process))
            return;
        waited = WaitForInputIdle(process.hProcess, 30000);
    });
    if (!process.hProcess) return -1;
    EnumWindows(closeWindowsOf, static_cast<LPARAM>(process.dwProcessId));
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == 0 ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM BARE DIALOG [RUNS]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 15;  // medians of many: the machine may be shared
    std::vector<double> program, dialog, bare, controls;
    startUp(argv[1]);  // the first start pays for loading DLLs into the cache
    const std::string count = std::to_string(controlsSeen);
    startUp(argv[2]);
    startUp(argv[3]);
    for (int i = 0; i < runs; ++i) {
        program.push_back(startUp(argv[1]));
        dialog.push_back(startUp(argv[3]));
        bare.push_back(startUp(argv[2]));
        controls.push_back(startUp(argv[2], count));
    }
    const double p = median(program), d = median(dialog), b = median(bare), c = median(controls);
    if (p < 0 || d < 0 || b < 0 || c < 0) {
        std::printf("start-up: could not be measured\n");
        return 1;
    }
    // What is left beyond the window's own controls is the program's work.
    std::printf("start-up: velmora.exe %.1f ms, its main window alone (same template, same manifest) %.1f ms, ratio "
                "%.2f (target at most 1.15: %s)\n", p, d, p / d, p / d <= 1.15 ? "holds" : "missed");
    std::printf("start-up: the bare window with %s plain controls %.1f ms, velmora.exe %.2fx of it (target at most "
                "1.15: %s)\n", count.c_str(), c, p / c, p / c <= 1.15 ? "holds" : "missed");
    std::printf("start-up: the empty bare window %.1f ms\n", b);
    return 0;
}
