// bench_startup PROGRAM BARE [RUNS]: the time from process start until the
// main window takes input, for the program against a bare window, and
// against the bare window holding as many plain controls as the program has.
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM BARE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 7;
    std::vector<double> program, bare, controls;
    startUp(argv[1]);  // the first start pays for loading DLLs into the cache
    const std::string count = std::to_string(controlsSeen);
    startUp(argv[2]);
    for (int i = 0; i < runs; ++i) {
        program.push_back(startUp(argv[1]));
        bare.push_back(startUp(argv[2]));
        controls.push_back(startUp(argv[2], count));
    }
    const double p = median(program), b = median(bare), c = median(controls);
    if (p < 0 || b < 0 || c < 0) {
        std::printf("start-up: could not be measured\n");
        return 1;
    }
    const double ratio = p / b;
    std::printf("start-up: velmora.exe %.1f ms, bare window %.1f ms, ratio %.2f (target at most 1.30: %s)\n", p, b,
                ratio, ratio <= 1.3 ? "holds" : "missed");
    std::printf("start-up: the bare window with %s plain controls %.1f ms, ratio %.2f: what creating that many "
                "windows costs here\n", count.c_str(), c, c / b);
    return 0;
}
