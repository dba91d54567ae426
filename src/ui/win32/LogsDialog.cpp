#include "ui/win32/LogsDialog.h"

#include "platform/Clock.h"
#include "platform/win32/WideText.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/ResourceIds.h"
#include "ui/win32/WindowText.h"

namespace velmora {

namespace {

constexpr std::size_t kShownLines = 200;

}  // namespace

void LogsDialog::show(HINSTANCE instance, HWND owner, LogKeeper& logs, Processes& processes, const Configuration& c) {
    owner_ = owner;
    logs_ = &logs;
    processes_ = &processes;
    configuration_ = c;
    if (!window_ && !create(instance, IDD_LOGS, owner)) return;
    setTextOf(window_, "Logs of " + c.serviceName);
    fill();
    showOverOwner(owner_, IDC_LOGS_LIST);
}

INT_PTR LogsDialog::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDCANCEL: close(); return TRUE;
                case IDC_LOGS_OPEN: {
                    const LRESULT chosen = SendDlgItemMessageW(window_, IDC_LOGS_LIST, LB_GETCURSEL, 0, 0);
                    if (chosen >= 0 && static_cast<std::size_t>(chosen) < files_.size())
                        (void)processes_->openDocument(files_[static_cast<std::size_t>(chosen)].path);
                    return TRUE;
                }
                case IDC_LOGS_LIST:
                    if (HIWORD(wParam) == LBN_SELCHANGE) showChosen();
                    return TRUE;
            }
            return FALSE;
        case WM_CLOSE: close(); return TRUE;
    }
    return FALSE;
}

void LogsDialog::fill() {
    files_ = logs_->files(configuration_);
    HWND list = item(IDC_LOGS_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& file : files_) {
        const std::string entry = isoUtcText(file.modified) + "    " + sizeText(file.size) + "    " + file.path +
                                  (file.open ? "    (in use)" : "");
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
    }
    SendMessageW(list, LB_SETHORIZONTALEXTENT, MulDiv(1600, static_cast<int>(dpiOf(window_)), kDesignDpi), 0);
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    EnableWindow(item(IDC_LOGS_OPEN), !files_.empty());
    showChosen();
}

void LogsDialog::showChosen() {
    const LRESULT chosen = SendDlgItemMessageW(window_, IDC_LOGS_LIST, LB_GETCURSEL, 0, 0);
    std::string text = files_.empty() ? "No log files were found." : "";
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < files_.size()) {
        const auto tail = logs_->tail(configuration_, files_[static_cast<std::size_t>(chosen)].path, kShownLines);
        if (const auto* why = std::get_if<std::string>(&tail)) text = *why;
        for (const auto& line :
             std::get_if<LogTail>(&tail) ? std::get<LogTail>(tail).lines : std::vector<std::string>())
            text += line + "\r\n";
    }
    HWND box = item(IDC_LOGS_TAIL);
    setTextOf(box, text);
    // The newest lines are the ones wanted: the box shows its end.
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

void LogsDialog::close() { hideForOwner(owner_); }

}  // namespace velmora
