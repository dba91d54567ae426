#include "WindowDriver.h"

#include <algorithm>
#include <iterator>

#include "platform/win32/Handles.h"
#include "platform/win32/WideText.h"

namespace velmora::e2e {

namespace {

constexpr UINT kMessageTimeoutMs = 5000;

LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

std::vector<std::string> itemsOf(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage) {
    std::vector<std::string> items;
    const LRESULT count = send(control, countMessage);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = send(control, lengthMessage, static_cast<WPARAM>(i));
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const LRESULT copied =
            send(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, static_cast<LRESULT>(text.size()))));
        items.push_back(narrow(text));
    }
    return items;
}

struct TopWindowSearch {
    DWORD processId;
    std::function<bool(HWND)> wanted;
    std::vector<HWND> found;
};

BOOL CALLBACK collectTopWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<TopWindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && search.wanted(window)) search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> topWindowsWhere(DWORD processId, std::function<bool(HWND)> wanted) {
    TopWindowSearch search{processId, std::move(wanted), {}};
    EnumWindows(collectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!condition()) {
        if (GetTickCount64() > end) return false;
        Sleep(50);
    }
    return true;
}

std::vector<HWND> topWindows(DWORD processId, const std::string& title) {
    return topWindowsWhere(processId, [&](HWND window) {
        return IsWindowVisible(window) && (title.empty() || windowTitle(window) == title);
    });
}

HWND findWindowOfClass(DWORD processId, const std::string& windowClass) {
    const auto windows = topWindowsWhere(processId, [&](HWND window) { return className(window) == windowClass; });
    return windows.empty() ? nullptr : windows.front();
}

HWND findTopWindow(DWORD processId, const std::string& title) {
    const auto windows = topWindows(processId, title);
    return windows.empty() ? nullptr : windows.front();
}

std::string windowText(HWND window) {
    const LRESULT length = send(window, WM_GETTEXTLENGTH);
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    const LRESULT copied = send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, static_cast<LRESULT>(text.size()))));
    return narrow(text);
}

std::string windowTitle(HWND window) {
    wchar_t title[512] = {};
    GetWindowTextW(window, title, static_cast<int>(std::size(title)));
    return narrow(title);
}

void setWindowText(HWND window, const std::string& text) {
    const std::wstring wideText = wide(text);
    send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideText.c_str()));
}

std::string className(HWND window) {
    wchar_t name[256] = {};  // class names are at most 256 characters
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return narrow(name);
}

HWND focusedWindow(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info) ? info.hwndFocus : nullptr;
}

void focusControl(HWND dialog, HWND control) {
    PostMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void pressTab(HWND control) {
    PostMessageW(control, WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(control, WM_KEYUP, VK_TAB, 0xC0000001);
}

void pressControlKey(HWND control, char key) {
    // Keyboard state belongs to the input queue; sharing the program's queue
    // lets us hold Ctrl down in it while the key messages are read.
    const DWORD target = GetWindowThreadProcessId(control, nullptr);
    const DWORD self = GetCurrentThreadId();
    AttachThreadInput(self, target, TRUE);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(control, WM_KEYDOWN, static_cast<WPARAM>(key), 1);
    PostMessageW(control, WM_KEYUP, static_cast<WPARAM>(key), 0xC0000001);
    // Let the program read the key before Ctrl is let go again.
    send(control, WM_NULL);
    Sleep(300);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
    SetKeyboardState(keys);
    AttachThreadInput(self, target, FALSE);
}

void click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void postCommand(HWND window, int commandId) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0); }

bool isChecked(HWND button) { return send(button, BM_GETCHECK) == BST_CHECKED; }

std::vector<std::string> listItems(HWND listBox) { return itemsOf(listBox, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }

std::vector<std::string> comboItems(HWND comboBox) {
    return itemsOf(comboBox, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::string messageBoxText(HWND box) {
    // The text is the box's one static control that is not the icon.
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (className(child) == "Static" && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
            text = std::max(text, windowText(child),
                            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    return text;
}

HWND waitForMessageBox(DWORD processId, const std::string& title) {
    HWND box = nullptr;
    waitUntil([&] {
        for (HWND window : topWindows(processId, title))
            if (className(window) == "#32770") box = window;
        return box != nullptr;
    });
    return box;
}

std::string answerMessageBox(DWORD processId, const std::string& title, int button) {
    HWND box = waitForMessageBox(processId, title);
    if (!box) return "";
    const std::string message = messageBoxText(box);
    click(GetDlgItem(box, button));
    waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
    return message;
}

bool saveScreenshot(const std::vector<HWND>& windows, const std::string& path) {
    RECT area{};
    for (HWND window : windows) {
        RECT rect{};
        GetWindowRect(window, &rect);
        UnionRect(&area, &area, &rect);
    }
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD rowSize = static_cast<DWORD>((width * 3 + 3) & ~3);
    info.biSizeImage = rowSize * static_cast<DWORD>(height);
    std::string pixels(info.biSizeImage, '\0');
    const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;  // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info).append(pixels);
    const Handle file(
        CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool loadLibraryInto(DWORD processId, const std::string& path) {
    const Handle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    if (!process) return false;
    const std::wstring widePath = wide(path);
    const SIZE_T size = (widePath.size() + 1) * sizeof(wchar_t);
    void* remotePath = VirtualAllocEx(process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD loaded = 0;
    if (remotePath && WriteProcessMemory(process.get(), remotePath, widePath.c_str(), size, nullptr)) {
        auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
        const Handle thread(CreateRemoteThread(process.get(), nullptr, 0, loadLibrary, remotePath, 0, nullptr));
        if (!thread || WaitForSingleObject(thread.get(), 10000) != WAIT_OBJECT_0 ||
            !GetExitCodeThread(thread.get(), &loaded))
            loaded = 0;
    }
    if (remotePath) VirtualFreeEx(process.get(), remotePath, 0, MEM_RELEASE);
    return loaded != 0;  // the thread's exit code is the low half of the module's address
}

}  // namespace velmora::e2e
