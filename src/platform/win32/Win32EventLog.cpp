#include "platform/win32/Win32EventLog.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
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

const wchar_t kSourceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Velmora";

std::wstring ownProgram() {
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length < path.size() ? length : 0);
    return path;
}

// The Event Viewer takes the texts of the source's events from the message
// table of the program its key names. Only Velmora's own source is written,
// and only while it is missing or names a program that is gone: both
// velmora.exe and velmora-cli.exe carry the table.
MaybeFailure registerSource() {
    RegistryKey key;
    DWORD disposition = 0;
    LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                     nullptr, key.receive(), &disposition);
    if (status != ERROR_SUCCESS) return systemFailure("RegCreateKeyExW", static_cast<DWORD>(status));
    wchar_t named[MAX_PATH * 2] = {};
    DWORD size = sizeof named - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), L"EventMessageFile", nullptr, nullptr, reinterpret_cast<BYTE*>(named), &size) ==
            ERROR_SUCCESS &&
        GetFileAttributesW(named) != INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    const std::wstring program = ownProgram();
    if (program.empty()) return lastErrorFailure("GetModuleFileNameW");
    status =
        RegSetValueExW(key.get(), L"EventMessageFile", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(program.c_str()),
                       static_cast<DWORD>((program.size() + 1) * sizeof(wchar_t)));
    const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    if (status == ERROR_SUCCESS)
        status = RegSetValueExW(key.get(), L"TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                                sizeof types);
    if (status != ERROR_SUCCESS) return systemFailure("RegSetValueExW", static_cast<DWORD>(status));
    return std::nullopt;
}

WORD typeOf(EventLevel level) {
    switch (level) {
        case EventLevel::Error: return EVENTLOG_ERROR_TYPE;
        case EventLevel::Warning: return EVENTLOG_WARNING_TYPE;
        case EventLevel::Information: break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

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
            event.record = record->RecordNumber;
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

std::uint32_t Win32EventLog::newestServiceManagerRecord() {
    const EventLogHandle log{OpenEventLogW(nullptr, L"System")};
    DWORD oldest = 0, count = 0;
    if (!log.handle || !GetOldestEventLogRecord(log.handle, &oldest) ||
        !GetNumberOfEventLogRecords(log.handle, &count) || count == 0)
        return 0;
    return oldest + count - 1;
}

MaybeFailure Win32EventLog::write(const ProgramEvent& event) {
    if (auto failure = registerSource()) return failure;
    const HANDLE source = RegisterEventSourceW(nullptr, L"Velmora");
    if (!source) return lastErrorFailure("RegisterEventSourceW");
    std::vector<std::wstring> texts;
    for (const auto& text : event.strings) texts.push_back(wide(text));
    std::vector<LPCWSTR> strings;
    for (const auto& text : texts) strings.push_back(text.c_str());
    const BOOL written =
        ReportEventW(source, typeOf(event.level), 0, event.id, nullptr, static_cast<WORD>(strings.size()), 0,
                     strings.empty() ? nullptr : strings.data(), nullptr);
    const DWORD error = GetLastError();
    DeregisterEventSource(source);
    if (!written) return systemFailure("ReportEventW", error);
    return std::nullopt;
}

}  // namespace velmora
