// bench_startup PROGRAM BARE STYLED DIALOG [RUNS]: the time from process start
// until the main window takes input, for the program against bare windows
// holding the same controls (STYLED: under the same common-controls manifest,
// BARE: the plain ones without it), against its own main window made bare
// (DIALOG: the same template and manifest, no program behind it), and against
// the empty bare window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "BenchTiming.h"
#include "ResourceIds.h"
#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

using namespace velmora;
using namespace velmora::bench;

namespace {

// The program's controls, as the bare window takes them: written when the
// program's window is first seen, to this file.
std::ofstream* listing = nullptr;
HWND listedWindow = nullptr;
HMENU programMenu = nullptr;
int controlsSeen = 0;

BOOL CALLBACK noteControl(HWND control, LPARAM) {
    if (GetParent(control) != listedWindow) return TRUE;  // a combo box's own edit
    ++controlsSeen;
    wchar_t name[32] = L"", text[512] = L"";
    GetClassNameW(control, name, static_cast<int>(std::size(name)));
    SendMessageTimeoutW(control, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, listedWindow, reinterpret_cast<POINT*>(&at), 2);
    if (lstrcmpiW(name, L"ComboBox") == 0) {  // created with the height of its dropped list
        RECT dropped{};
        if (SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            at.bottom = at.top + (dropped.bottom - dropped.top);
    }
    // UTF-8, one control a line.
    *listing << narrow(name) << '\t' << GetDlgCtrlID(control) << '\t' << GetWindowLongW(control, GWL_STYLE) << '\t'
             << GetWindowLongW(control, GWL_EXSTYLE) << '\t' << at.left << '\t' << at.top << '\t' << at.right - at.left
             << '\t' << at.bottom - at.top << '\t' << narrow(text) << '\n';
    return TRUE;
}

BOOL CALLBACK closeWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId) || !IsWindowVisible(window)) return TRUE;
    if (listing) {
        listedWindow = window;
        RECT client{};
        GetClientRect(window, &client);
        *listing << client.right << ' ' << client.bottom;
        // Menus cannot be read from another process: this is the program's own, from its resources.
        HMENU menu = programMenu;
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            wchar_t title[64] = L"";
            GetMenuStringW(menu, static_cast<UINT>(i), title, static_cast<int>(std::size(title)), MF_BYPOSITION);
            *listing << '\t' << narrow(title);
        }
        *listing << '\n';
        EnumChildWindows(window, noteControl, 0);
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Milliseconds until the program waits for input with its window up; < 0 on failure.
double startUp(const std::string& program, const std::string& arguments = "") {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const std::wstring application = wide(program);
    std::wstring commandLine = wide("\"" + program + "\" " + arguments);
    const std::wstring folder = wide(program.substr(0, program.find_last_of('\\')));
    DWORD waited = WAIT_FAILED;
    bool created = false;
    const double ms = millisecondsOf([&] {
        created = CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 folder.c_str(), &startup, &started) != 0;
        if (created) waited = WaitForInputIdle(started.hProcess, 30000);
    });
    if (!created) return -1;
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    EnumWindows(closeWindowsOf, static_cast<LPARAM>(started.dwProcessId));
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process.get(), 1);
    // Wine and the X server are still tidying up after the program that ended:
    // the next start waits for that, so that none pays for the one before.
    Sleep(300);
    return waited == 0 ? ms : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM BARE STYLED DIALOG [RUNS]\n");
        return 2;
    }
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(narrow(argv[i]));
    const int runs = argc > 5 ? std::atoi(args[5].c_str()) : 30;  // medians of many: the machine may be shared
    std::vector<double> times[5];  // each program's, in the order of a round's starts below
    wchar_t listPath[MAX_PATH] = L"";
    GetFullPathNameW(L"velmora-controls.txt", MAX_PATH, listPath, nullptr);
    const std::string controls = narrow(listPath);
    if (HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE))
        programMenu = LoadMenuW(module, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    {
        std::ofstream list(listPath, std::ios::binary);
        listing = &list;
        startUp(args[1]);  // the first start pays for loading DLLs into the cache
        listing = nullptr;
    }
    startUp(args[2], controls);
    startUp(args[3], controls);
    startUp(args[4]);
    // Each round starts all five, in an order that turns from round to round;
    // the ratios are taken within a round, so that the machine's load, which
    // drifts over a run, weighs on both sides of each.
    std::vector<double> ratioTo[4];  // velmora.exe's to each yardstick's, by its place in a round
    for (int i = 0; i < runs; ++i) {
        // velmora.exe, the styled and the plain bare window, its main window alone, the empty window.
        const std::pair<std::string, std::string> starts[5] = {
            {args[1], ""}, {args[3], controls}, {args[2], controls}, {args[4], ""}, {args[2], ""}};
        double round[5] = {};
        for (int k = 0; k < 5; ++k) {
            const int which = (i + k) % 5;
            round[which] = startUp(starts[which].first, starts[which].second);
        }
        for (int which = 0; which < 5; ++which) times[which].push_back(round[which]);
        for (int which = 1; which < 4; ++which)
            if (round[0] > 0 && round[which] > 0) ratioTo[which].push_back(round[0] / round[which]);
    }
    const double p = median(times[0]), s = median(times[1]), c = median(times[2]), d = median(times[3]),
                 e = median(times[4]);
    if (controlsSeen == 0 || p < 0 || s < 0 || c < 0 || d < 0 || e < 0 || ratioTo[1].empty()) {
        std::printf("start-up: could not be measured\n");
        return 1;
    }
    // What is left beyond creating and showing the same controls is the program's work.
    const double r = median(ratioTo[1]);
    std::printf(
        "start-up: velmora.exe %.1f ms, the bare window with the same %d controls (classes, styles, places, fonts, "
        "texts, menu bar, visual style) "
        "%.1f ms, ratio %.2f within a round (target at most 1.05: %s)\n",
        p, controlsSeen, s, r, r <= 1.05 ? "holds" : "missed");
    std::printf("start-up: its main window alone (same template, same manifest) %.1f ms, velmora.exe %.2fx of it\n", d,
                median(ratioTo[3]));
    std::printf(
        "start-up: the same controls plain, without the visual style, %.1f ms, velmora.exe %.2fx of it; "
        "the empty bare window %.1f ms\n",
        c, median(ratioTo[2]), e);
    return 0;
}
