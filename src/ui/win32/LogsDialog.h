#pragma once
#include <vector>

#include "app/LogKeeper.h"
#include "ui/win32/DialogWindow.h"

namespace velmora {

// "Logs": the configuration's log files, newest first, the last lines of the
// chosen one, and Open, which hands the file to its viewer as the report is
// opened, by its file association. It reads only; the main window waits.
class LogsDialog : public DialogWindow {
public:
    void show(HINSTANCE instance, HWND owner, LogKeeper& logs, Processes& processes, const Configuration& c);

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void fill();
    void showChosen();
    void close();

    HWND owner_ = nullptr;
    LogKeeper* logs_ = nullptr;
    Processes* processes_ = nullptr;
    Configuration configuration_;
    std::vector<LogFile> files_;
};

}  // namespace velmora
