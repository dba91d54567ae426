#include "platform/win32/Win32EventLog.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/WideText.h"

namespace velmora {

namespace {

// Event records stamp seconds since 1970; file times count from 1601.
constexpr FileTime kUnixEpochInFileTime = 116444736000000000ULL;

FileTime fileTimeOf(DWORD secondsSince1970) {
    return kUnixEpochInFileTime + FileTime{secondsSince1970} * kTicksPerSecond;
}

struct EventLogHandle {
    HANDLE handle;
    ~EventLogHandle() {
        if (handle) CloseEventLog(handle);
    }
};

}  // namespace

// Read from the newest entry backwards, so that only the moments since are read.
std::vector<ServiceManagerEvent> Win32EventLog::serviceManagerEvents(FileTime since) {
    std::vector<ServiceManagerEvent> events;
    const EventLogHandle log{OpenEventLogW(nullptr, L"System")};
    if (!log.handle) return events;
    std::vector<BYTE> buffer(64 * 1024);
    bool older = false;
    while (!older) {
        DWORD read = 0, needed = 0;
        if (!ReadEventLogW(log.handle, EVENTLOG_SEQUENTIAL_READ | EVENTLOG_BACKWARDS_READ, 0, buffer.data(),
                           static_cast<DWORD>(buffer.size()), &read, &needed)) {
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
            buffer.resize(needed);
            continue;
        }
        for (DWORD at = 0; at < read;) {
            const auto* record = reinterpret_cast<const EVENTLOGRECORD*>(buffer.data() + at);
            at += record->Length;
            const FileTime written = fileTimeOf(record->TimeWritten);
            if (written < since) {
                older = true;
                break;
            }
            const auto* source = reinterpret_cast<const wchar_t*>(record + 1);
            if (std::wstring(source) != L"Service Control Manager") continue;
            ServiceManagerEvent event;
            event.written = written;
            event.eventId = record->EventID & 0xFFFF;
            const auto* text =
                reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + record->StringOffset);
            for (WORD i = 0; i < record->NumStrings; ++i, text += wcslen(text) + 1)
                event.strings.push_back(narrow(text));
            events.push_back(std::move(event));
        }
    }
    std::reverse(events.begin(), events.end());
    return events;
}

}  // namespace velmora
