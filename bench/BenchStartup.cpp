// bench_startup PROGRAM BARE [RUNS]: the time from process start until the
// main window takes input, for the program against a bare window.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchTiming.h"

using namespace velmora::bench;

namespace {

BOOL CALLBACK closeWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId) && IsWindowVisible(window)) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Milliseconds until the program waits for input with its window up; < 0 on failure.
double startUp(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
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
    std::vector<double> program, bare;
    startUp(argv[1]);  // the first start pays for loading DLLs into the cache
    startUp(argv[2]);
    for (int i = 0; i < runs; ++i) {
        program.push_back(startUp(argv[1]));
        bare.push_back(startUp(argv[2]));
    }
    const double p = median(program), b = median(bare);
    if (p < 0 || b < 0) {
        std::printf("start-up: could not be measured\n");
        return 1;
    }
    const double ratio = p / b;
    std::printf("start-up: velmora.exe %.1f ms, bare window %.1f ms, ratio %.2f (target at most 1.30: %s)\n", p, b,
                ratio, ratio <= 1.3 ? "holds" : "missed");
    return 0;
}
