#include "platform/win32/Win32Processes.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>

#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

// How long a process ended at its bound may take to go.
constexpr DWORD kEndingMs = 5000;

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

    // Hidden, and with no standard handles: unless they are named, Wine hands
    // the child copies of ours even when nothing is inherited, and a caller
    // reading our output through a pipe would wait for the child too.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NO_WINDOW | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &started))
        return notStarted(lastErrorFailure("CreateProcessW"));
    const Handle process(started.hProcess);
    const Handle thread(started.hThread);

    ProcessResult result;
    if (WaitForSingleObject(process.get(), run.boundMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.get(), &exitCode);
        result.ending = ProcessResult::Ending::Exited;
        result.exitCode = exitCode;
        return result;
    }
    const bool ended = TerminateProcess(process.get(), 1) && WaitForSingleObject(process.get(), kEndingMs) == WAIT_OBJECT_0;
    result.ending = ended ? ProcessResult::Ending::StoppedAtBound : ProcessResult::Ending::LeftRunning;
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

}  // namespace velmora
