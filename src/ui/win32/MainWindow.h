#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/FrontEnd.h"
#include "app/Program.h"
#include "ui/win32/AboutBox.h"
#include "ui/win32/AdoptDialog.h"
#include "ui/win32/DialogWindow.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/LiveRegion.h"
#include "ui/win32/LogsDialog.h"
#include "ui/win32/NoticeWindow.h"
#include "ui/win32/OpenDialog.h"
#include "ui/win32/PasswordPrompt.h"
#include "ui/win32/ServiceSettingsDialog.h"
#include "ui/win32/ServiceWatcher.h"
#include "ui/win32/StatusFollower.h"
#include "ui/win32/UpgradeDialog.h"

namespace velmora {

// The main window: every field of one configuration and the service
// commands. Its handlers hand each event to the session; the session shows
// what happened through the front-end calls. Commands that run programs or
// talk to the service manager run on a worker thread, so the window keeps
// painting; the front-end calls it makes from there are carried over to the
// window's own thread.
class MainWindow : public DialogWindow, public FrontEnd {
public:
    MainWindow(HINSTANCE instance, Files& files);
    ~MainWindow() override;

    // Creates the window hidden, in the state it has before any configuration.
    bool create();
    // From here on the handlers call into the program.
    void attach(Program& program);
    void show();

    Answer ask(const Question& question) override;
    void warn(const std::string& text) override;
    void tell(const std::string& text) override;
    void waitingForTurn(bool waiting) override;
    void begin(const std::string& notice) override;
    void end() override;
    void showConfiguration(const Configuration& c, bool nameLocked, const std::string& tomcatVersion) override;
    void showServiceState(bool installed, ServiceStatus status, const std::string& failedStartCause) override;
    std::optional<std::string> password(const std::string& account) override;

private:
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onDpiChanged(UINT dpi, const RECT* suggested) override;
    INT_PTR onControlColour(HDC dc, HWND control);
    bool followsNow() const;
    // The service manager tells of the shown service's changes, between commands.
    void followService();
    // The status line asked for again; an answer that changes nothing is shown only when showAnyway.
    void askStatus(bool showAnyway);
    void onStatusAnswered();
    int messageBox(const std::string& text, const char* title, UINT style);
    // A warning or a notice ("Info"), which waits for no one.
    void notify(const std::string& text, bool warning);
    // What comes from the worker waits while a box is up, and is taken in its order once none is.
    void whenNoBoxIsUp(std::function<void()> call);
    void whileWorking(const std::function<void()>& call);
    bool post(UINT message, const std::function<void()>& call);
    void afterBoxes();
    HWND boxOwner() const;
    // A box or a picker disables only its owner: while one waits, the windows of
    // ours beside it are disabled too, so that nothing reaches the session then.
    class HeldBack {
    public:
        explicit HeldBack(std::vector<HWND> windows);
        ~HeldBack();
        HeldBack(const HeldBack&) = delete;
        HeldBack& operator=(const HeldBack&) = delete;

    private:
        std::vector<HWND> held_;
    };
    HeldBack holdBackBeside(HWND owner) const;
    // A picker's choice, made with the windows beside this one held back.
    std::string pick(const std::function<std::string()>& picker);
    // Runs the call on the window's thread and waits for it.
    void onWindowThread(const std::function<void()>& call);

    // Commands that run off the window's thread; one at a time.
    void runCommand(std::function<Outcome()> command, std::function<void()> afterwards = {});
    void onCommandDone();
    void onClose();

    // Set-up and what follows the DPI (MainWindowLayout.cpp).
    void setUpControls();
    void fillSizeList(int id);
    void useDpi(UINT dpi);
    void createToolTips();
    void useToolTipDpi(UINT dpi);
    void onSystemColoursChanged();

    // Handlers (MainWindowHandlers.cpp).
    void onCommand(int id, int code);
    // Each passes the text of a box on; false when the text was refused.
    bool onFieldLeft(int id);
    bool runPendingFieldUpdates();
    void noteFieldLeft(int id);
    bool commitFocusedField();
    // The control of this window that holds a window (a combo box for its edit box), or none.
    HWND controlHolding(HWND window) const;
    void onSizeChosen(int id);
    void onFolderBrowse(int id);
    void onFileBrowse(int id);
    void onAddOption();
    void onDeleteOption();
    void onMoveOption(int by);
    void onOptionDoubleClicked();
    void onMenuCommand(int id);
    void onInstallButton();
    void onStartButton();

    // The look of the boxes (MainWindowView.cpp).
    void setBoxText(int id, const std::string& text);
    void setChecked(int id, bool checked);
    void setNameLocked(bool locked);
    void setPolicyRowEnabled(bool enabled);
    void setOptionList(const std::vector<std::string>& options);

    HINSTANCE instance_;
    Files& files_;
    Session* session_ = nullptr;
    Editing* editing_ = nullptr;
    ConfigurationTransfer* transfer_ = nullptr;
    ConfigurationStore* store_ = nullptr;
    LogKeeper* logs_ = nullptr;
    Processes* processes_ = nullptr;
    DWORD windowThread_ = 0;
    HWND toolTip_ = nullptr;
    POINT cursorAtShow_{};
    FontHandle frameFont_;
    FontHandle courierFont_;
    FontHandle toolTipFont_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    LiveRegion status_;
    bool highContrast_ = false;
    bool serviceNameLocked_ = false;
    bool policyBoxWhite_ = false;
    // The box whose text a command passed on while it kept the cursor.
    int committedBoxId_ = 0;
    std::string committedText_;
    std::thread worker_;
    bool busy_ = false;
    bool closePending_ = false;
    // A command's end waits for the boxes up (a notice it posted) to close; so do the password prompt and
    // every box a command waits on, each in a message loop of its own.
    int boxesUp_ = 0;
    bool doneWaiting_ = false;                 // the worker has ended, and its end waits for the boxes
    std::atomic<bool> waitingForTurn_{false};  // set by the worker
    std::atomic<bool> workerWaiting_{false};   // for a call it posted
    std::deque<std::function<void()>> heldForBoxes_;
    bool takingHeld_ = false;
    HWND focusBeforeCommand_ = nullptr;
    std::function<void()> afterCommand_;
    Outcome outcome_;  // of the command that ran last, read once it is done
    OpenDialog openDialog_;
    ServiceSettingsDialog settingsDialog_;
    LogsDialog logsDialog_;
    AdoptDialog adoptDialog_;
    UpgradeDialog upgradeDialog_;
    PasswordPrompt passwordPrompt_;
    AboutBox aboutBox_;
    NoticeWindow notice_;
    std::optional<ServiceWatcher> watcher_;
    std::optional<StatusFollower> follower_;
    unsigned commandsRun_ = 0;  // an answer asked before a command may not hold after it
};

}  // namespace velmora
