#include "platform/win32/Win32Processes.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

// How long a process ended at its bound may take to go, and how long its
// output may still take to drain once it has.
constexpr DWORD kEndingMs = 5000;
constexpr DWORD kDrainMs = 2000;
// A cancel reaches only a read under way: it is repeated this often until the reader has ended.
constexpr DWORD kCancelRepeatMs = 50;
// Enough for any message a command gives; the rest is dropped.
constexpr std::size_t kMostOutput = 64 * 1024;

// The child's output, read on a thread of its own so that a child writing
// much never blocks on a full pipe while we wait for it.
class OutputReader {
public:
    OutputReader(Handle readEnd, UINT codePage) : readEnd_(std::move(readEnd)), codePage_(codePage) {
        thread_.reset(CreateThread(nullptr, 0, &OutputReader::read, this, 0, nullptr));
    }
    ~OutputReader() { finish(); }
    OutputReader(const OutputReader&) = delete;
    OutputReader& operator=(const OutputReader&) = delete;
    // A grandchild may still hold the pipe: the read is given up after a while.
    std::string finish() {
        if (!thread_) return {};
        if (WaitForSingleObject(thread_.get(), kDrainMs) != WAIT_OBJECT_0) {
            stopping_ = true;
            do CancelSynchronousIo(thread_.get());
            while (WaitForSingleObject(thread_.get(), kCancelRepeatMs) != WAIT_OBJECT_0);
        }
        thread_.reset();
        return narrowFromCodePage(bytes_, codePage_);
    }

private:
    static DWORD WINAPI read(void* self) {
        auto& reader = *static_cast<OutputReader*>(self);
        char chunk[4096];
        DWORD read = 0;
        while (!reader.stopping_ && ReadFile(reader.readEnd_.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
            if (reader.bytes_.size() < kMostOutput)
                reader.bytes_.append(chunk, std::min<std::size_t>(read, kMostOutput - reader.bytes_.size()));
        return 0;
    }

    Handle readEnd_;
    UINT codePage_;
    std::string bytes_;
    std::atomic<bool> stopping_ = false;  // a grandchild that keeps writing is no longer read
    Handle thread_;
};

ProcessResult notStarted(Failure failure) {
    ProcessResult result;
    result.ending = ProcessResult::Ending::NotStarted;
    result.failure = std::move(failure);
    return result;
}

}  // namespace

ProcessResult Win32Processes::run(const ProcessRun& run) {
    if (run.program.empty()) return notStarted(systemFailure("CreateProcessW", ERROR_FILE_NOT_FOUND));
    const std::wstring program = wide(run.program);
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring commandLine = wide(run.commandLine);

    // The child's output goes into a pipe whose writing end is the only
    // handle it inherits: named in the start-up information, as otherwise
    // Wine hands the child copies of our own, and a caller reading our output
    // through a pipe would wait for the child too.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.receive(), writeEnd.receive(), &inheritable, 0))
        return notStarted(lastErrorFailure("CreatePipe"));
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    SIZE_T listSize = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listBuffer(listSize);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listBuffer.data());
    HANDLE inherited = writeEnd.get();
    if (!InitializeProcThreadAttributeList(list, 1, 0, &listSize))
        return notStarted(lastErrorFailure("InitializeProcThreadAttributeList"));
    const bool listed = UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &inherited,
                                                  sizeof inherited, nullptr, nullptr);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdOutput = writeEnd.get();
    startup.StartupInfo.hStdError = writeEnd.get();
    startup.lpAttributeList = list;
    PROCESS_INFORMATION started{};
    const BOOL created =
        listed && CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                 CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                 nullptr, &startup.StartupInfo, &started);
    const Failure failure = lastErrorFailure(listed ? "CreateProcessW" : "UpdateProcThreadAttribute");
    DeleteProcThreadAttributeList(list);
    writeEnd.reset();  // the child holds its own end now; ours would keep the pipe open
    if (!created) return notStarted(failure);
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);
    // Console programs write in the OEM code page; Java into a pipe in the Windows one.
    OutputReader output(std::move(readEnd), run.ansiOutput ? CP_ACP : CP_OEMCP);

    ProcessResult result;
    if (WaitForSingleObject(process.get(), run.boundMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.get(), &exitCode);
        result.ending = ProcessResult::Ending::Exited;
        result.exitCode = exitCode;
        result.output = output.finish();
        return result;
    }
    const bool ended =
        TerminateProcess(process.get(), 1) && WaitForSingleObject(process.get(), kEndingMs) == WAIT_OBJECT_0;
    result.ending = ended ? ProcessResult::Ending::StoppedAtBound : ProcessResult::Ending::LeftRunning;
    result.output = output.finish();
    return result;
}

MaybeFailure Win32Processes::openDocument(const std::string& path) {
    // shell32 loads here, at first use, not with the program.
    const auto shellExecute = systemFunctionAs<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>("shell32.dll", "ShellExecuteExW");
    if (!shellExecute) return systemFailure("ShellExecuteExW", ERROR_PROC_NOT_FOUND);
    comReady();  // the shell may hand the document to a COM handler
    const std::wstring file = wide(path);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"open";
    request.lpFile = file.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (!shellExecute(&request)) return lastErrorFailure("ShellExecuteExW");
    return std::nullopt;
}

std::optional<std::uint32_t> Win32Processes::parentOf(std::uint32_t processId) {
    const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == processId) return entry.th32ParentProcessID;
    return std::nullopt;
}

}  // namespace velmora
