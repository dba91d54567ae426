// bench_startup PROGRAM BARE STYLED DIALOG [RUNS]: the time from process start
// until the main window takes input, for the program against bare windows
// holding the same controls (STYLED: under the same common-controls manifest,
// BARE: the plain ones without it), against its own main window made bare
// (DIALOG: the same template and manifest, no program behind it), and against
// the empty bare window.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "ResourceIds.h"

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
    char name[32] = "", text[512] = "";
    GetClassNameA(control, name, sizeof name);
    SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    RECT at{};
    GetWindowRect(control, &at);
    MapWindowPoints(nullptr, listedWindow, reinterpret_cast<POINT*>(&at), 2);
    if (lstrcmpiA(name, "ComboBox") == 0) {  // created with the height of its dropped list
        RECT dropped{};
        if (SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            at.bottom = at.top + (dropped.bottom - dropped.top);
    }
    *listing << name << '\t' << GetDlgCtrlID(control) << '\t' << GetWindowLongA(control, GWL_STYLE) << '\t' << GetWindowLongA(control, GWL_EXSTYLE)
             << '\t' << at.left << '\t' << at.top << '\t' << at.right - at.left << '\t' << at.bottom - at.top << '\t'
             << text << '\n';
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
            char title[64] = "";
            GetMenuStringA(menu, static_cast<UINT>(i), title, sizeof title, MF_BYPOSITION);
            *listing << '\t' << title;
        }
        *listing << '\n';
        EnumChildWindows(window, noteControl, 0);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
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
    if (argc < 5) {
        std::fprintf(stderr, "usage: bench_startup PROGRAM BARE STYLED DIALOG [RUNS]\n");
        return 2;
    }
    const int runs = argc > 5 ? std::atoi(argv[5]) : 15;  // medians of many: the machine may be shared
    std::vector<double> program, styled, plain, dialog, empty;
    char listPath[MAX_PATH] = "";
    GetFullPathNameA("velmora-controls.txt", MAX_PATH, listPath, nullptr);
    const std::string controls = listPath;
    if (HMODULE program = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE))
        programMenu = LoadMenuA(program, MAKEINTRESOURCEA(IDR_MAIN_MENU));
    {
        std::ofstream list(controls);
        listing = &list;
        startUp(argv[1]);  // the first start pays for loading DLLs into the cache
        listing = nullptr;
    }
    startUp(argv[2], controls);
    startUp(argv[3], controls);
    startUp(argv[4]);
    for (int i = 0; i < runs; ++i) {
        program.push_back(startUp(argv[1]));
        styled.push_back(startUp(argv[3], controls));
        plain.push_back(startUp(argv[2], controls));
        dialog.push_back(startUp(argv[4]));
        empty.push_back(startUp(argv[2]));
    }
    const double p = median(program), s = median(styled), c = median(plain), d = median(dialog), e = median(empty);
    if (controlsSeen == 0 || p < 0 || s < 0 || c < 0 || d < 0 || e < 0) {
        std::printf("start-up: could not be measured\n");
        return 1;
    }
    // What is left beyond creating and showing the same controls is the program's work.
    std::printf("start-up: velmora.exe %.1f ms, the bare window with the same %d controls (classes, styles, places, fonts, texts, menu bar, visual style) "
                "%.1f ms, ratio %.2f (target at most 1.15: %s)\n", p, controlsSeen, s, p / s,
                p / s <= 1.15 ? "holds" : "missed");
    std::printf("start-up: its main window alone (same template, same manifest) %.1f ms, velmora.exe %.2fx of it\n", d,
                p / d);
    std::printf("start-up: the same controls plain, without the visual style, %.1f ms, velmora.exe %.2fx of it; "
                "the empty bare window %.1f ms\n", c, p / c, e);
    return 0;
}
