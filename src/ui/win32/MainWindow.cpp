#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <future>
#include <memory>
#include <utility>
#include <vector>

#include "app/CommandTurn.h"
#include "platform/win32/WideText.h"
#include "ui/win32/MainWindowControls.h"

namespace velmora {

namespace {

constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusPollMs = 2000;
// A call to run on the window's thread (lParam: a PostedCall), and the end of a command.
constexpr UINT kRunOnWindowThread = WM_APP + 2;
constexpr UINT kCommandDone = WM_APP + 3;
// From the worker, not waited for (lParam: the call, to delete): a notice's box, which waits behind any box up,
// and a change of what the window shows, which waits for none.
constexpr UINT kShowNotice = WM_APP + 4;
constexpr UINT kUpdateView = WM_APP + 7;
// The service manager reported a change of the service's state.
constexpr UINT kServiceChanged = WM_APP + 5;
constexpr UINT kStatusAnswered = WM_APP + 6;

struct PostedCall {
    const std::function<void()>& call;
    std::promise<void> done;
};

INT_PTR background(HDC dc, COLORREF colour, HBRUSH brush) {
    SetBkColor(dc, colour);
    return reinterpret_cast<INT_PTR>(brush);
}

INT_PTR white(HDC dc) { return background(dc, RGB(255, 255, 255), static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))); }
INT_PTR menuColour(HDC dc) { return background(dc, GetSysColor(COLOR_MENU), GetSysColorBrush(COLOR_MENU)); }

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Files& files) : instance_(instance), files_(files) {}

MainWindow::~MainWindow() {
    if (worker_.joinable()) worker_.join();
}

bool MainWindow::create() {
    windowThread_ = GetCurrentThreadId();
    return DialogWindow::create(instance_, IDD_MAIN, nullptr);
}

void MainWindow::attach(Program& program) {
    session_ = &program.session;
    editing_ = &program.editing;
    transfer_ = &program.transfer;
    store_ = &program.store;
    logs_ = &program.logs;
    processes_ = &program.platform.processes;
}

void MainWindow::show() {
    GetCursorPos(&cursorAtShow_);
    ShowWindow(window_, SW_SHOW);
    // Activated, the window gives the focus to its first box, the name; ask only if it did not.
    if (GetFocus() != item(IDC_SERVICE_NAME))
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item(IDC_SERVICE_NAME)), TRUE);
    watcher_.emplace(window_, kServiceChanged);
    follower_.emplace(window_, kStatusAnswered);
    followService();
    SetTimer(window_, kStatusTimer, kStatusPollMs, nullptr);
}

// Posted, not sent: a question waits behind the notices the worker posted before it, so that what was told comes
// first. A message sent from another thread would be taken before every posted one.
void MainWindow::onWindowThread(const std::function<void()>& call) {
    if (GetCurrentThreadId() == windowThread_) {
        call();
        return;
    }
    PostedCall posted{call, {}};
    std::future<void> done = posted.done.get_future();
    // Sent only when it cannot be posted; taken in either way, it may wait behind a box.
    if (!PostMessageW(window_, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&posted)))
        SendMessageW(window_, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&posted));
    workerWaiting_ = true;
    done.wait();
    workerWaiting_ = false;
}

// The window and its dialogs take no input while a command runs, so that no
// other call reaches the session meanwhile; the window still paints, and the
// notice says what is going on.
void MainWindow::runCommand(std::function<Outcome()> command, std::function<void()> afterwards) {
    if (busy_ || !session_) return;
    busy_ = true;
    ++commandsRun_;
    // A handle the watcher holds would keep a removed service registered until it lets go.
    if (watcher_) watcher_->stop();
    afterCommand_ = std::move(afterwards);
    // Disabling the window takes the focus from its control; it comes back there afterwards.
    focusBeforeCommand_ = GetFocus();
    for (HWND window : {window_, openDialog_.handle(), settingsDialog_.handle()})
        if (window) EnableWindow(window, FALSE);
    worker_ = std::thread([this, command = std::move(command)] {
        {
            // Held on the worker, which waits for it while the window paints.
            CommandTurn turn(session_->commandLock(), *this, *store_);
            if (turn.refusal().empty())
                outcome_ = command();
            else if (!turn.givenUp())
                warn(turn.refusal());
        }
        PostMessageW(window_, kCommandDone, 0, 0);
    });
}

// What the command did is told once it is done, from its outcome.
void MainWindow::onCommandDone() {
    if (worker_.joinable()) worker_.join();
    busy_ = false;
    ShutdownBlockReasonDestroy(window_);
    followService();
    for (HWND window : {window_, openDialog_.handle(), settingsDialog_.handle()})
        if (window) EnableWindow(window, TRUE);
    const HWND back = controlHolding(std::exchange(focusBeforeCommand_, nullptr));
    if (!GetFocus() && GetActiveWindow() == window_ && back && IsWindowEnabled(back))
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(back), TRUE);
    if (closePending_) {
        DestroyWindow(window_);
        return;
    }
    const Outcome done = std::exchange(outcome_, {});
    if (!done.announcement.empty()) tell(done.announcement);
    for (const auto& notice : done.notices) tell(notice);
    if (afterCommand_) std::exchange(afterCommand_, {})();
}

// Nothing is asked and nothing is saved; a command that runs is let finish
// first (its programs are bounded), and the notice says so.
constexpr char kClosesAfterCommand[] = "Velmora closes when the running command has finished.";

void MainWindow::onClose() {
    if (!busy_) {
        DestroyWindow(window_);
        return;
    }
    // A command still waiting for its turn has changed nothing: it need not be waited for. One that holds its
    // turn already is not given up.
    session_->commandLock().giveUpWaiting();
    closePending_ = true;
    notice_.show(instance_, window_, kClosesAfterCommand);
}

int MainWindow::messageBox(const std::string& text, const char* title, UINT style) {
    int answer = 0;
    onWindowThread([&] {
        // A box re-enables its owner only when it disabled it itself, and Windows
        // activates another program's window when a box closes over a disabled
        // owner: during a command the box is let disable the window, which the
        // command then takes again.
        if (busy_) EnableWindow(window_, TRUE);
        const HWND owner = boxOwner();
        {
            const HeldBack held = holdBackBeside(owner);
            ++boxesUp_;
            answer = MessageBoxW(owner, wide(text).c_str(), wide(title).c_str(), style);
            --boxesUp_;
        }
        if (busy_) EnableWindow(window_, FALSE);
        if (boxesUp_ == 0) afterBoxes();
    });
    return answer;
}

// What the worker sent while a box was up comes one box at a time, in the order it was sent; then the end of
// the command, should it have waited for them.
void MainWindow::whenNoBoxIsUp(std::function<void()> call) {
    if (boxesUp_ > 0)
        heldForBoxes_.push_back(std::move(call));
    else
        call();
}

void MainWindow::afterBoxes() {
    if (std::exchange(takingHeld_, true)) return;  // the loop below goes on once this box is closed
    while (!heldForBoxes_.empty() && boxesUp_ == 0) {
        const std::function<void()> next = std::move(heldForBoxes_.front());
        heldForBoxes_.pop_front();
        next();
    }
    takingHeld_ = false;
    if (boxesUp_ == 0 && std::exchange(doneWaiting_, false)) PostMessageW(window_, kCommandDone, 0, 0);
}

// The window in front: a dialog over the main window when one is up, else the main window.
MainWindow::HeldBack::HeldBack(std::vector<HWND> windows) {
    for (HWND window : windows)
        if (window && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            held_.push_back(window);
        }
}

MainWindow::HeldBack::~HeldBack() {
    for (HWND window : held_) EnableWindow(window, TRUE);
}

// Not the window behind a dialog, nor the Open dialog beside the window.
MainWindow::HeldBack MainWindow::holdBackBeside(HWND owner) const {
    std::vector<HWND> others;
    for (HWND other : {window_, openDialog_.handle()})
        if (other != owner) others.push_back(other);
    return HeldBack(std::move(others));
}

std::string MainWindow::pick(const std::function<std::string()>& picker) {
    const HeldBack held = holdBackBeside(window_);
    return picker();
}

HWND MainWindow::boxOwner() const {
    const HWND popup = GetLastActivePopup(window_);
    if (popup && popup != notice_.handle() && IsWindowVisible(popup) && IsWindowEnabled(popup)) return popup;
    return window_;
}

Answer MainWindow::ask(const Question& question) {
    // The question says the report is launched; it names the file for when it does not open.
    if (question.kind == QuestionKind::InstallDespiteProblems && processes_ && !question.subject.empty())
        (void)processes_->openDocument(question.subject);
    const QuestionLook look = lookOf(question.kind);
    const int answer = messageBox(question.text, look.title, look.okCancel ? MB_OKCANCEL : MB_YESNO);
    return answer == IDYES || answer == IDOK ? Answer::Yes : Answer::No;
}

void MainWindow::warn(const std::string& text) { notify(text, true); }
void MainWindow::tell(const std::string& text) { notify(text, false); }

// A notice needs no answer: from the worker it is posted, so the command goes on while the box is up.
void MainWindow::notify(const std::string& text, bool warning) {
    const std::function<void()> show = [this, text, warning] {
        messageBox(text, warning ? kWarningTitle : kInfoTitle,
                   MB_OK | (warning ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
    };
    if (GetCurrentThreadId() == windowThread_ || !post(kShowNotice, show)) onWindowThread(show);
}

// Hands the call to the window's thread without waiting for it; false when the queue would not take it.
bool MainWindow::post(UINT message, const std::function<void()>& call) {
    auto posted = std::make_unique<std::function<void()>>(call);
    if (!PostMessageW(window_, message, 0, reinterpret_cast<LPARAM>(posted.get()))) return false;
    (void)posted.release();
    return true;
}

std::optional<std::string> MainWindow::password(const std::string& account) {
    std::optional<std::string> given;
    onWindowThread([&] {
        ++boxesUp_;
        given = passwordPrompt_.ask(instance_, window_, account);
        --boxesUp_;
        if (busy_) EnableWindow(window_, FALSE);
    });
    return given;
}

// A change of what the window shows (the progress notice, the values, the state) is no box, and waits for
// none: the worker goes on at once.
void MainWindow::whileWorking(const std::function<void()>& call) {
    if (GetCurrentThreadId() == windowThread_ || !post(kUpdateView, call)) onWindowThread(call);
}

void MainWindow::begin(const std::string& notice) {
    whileWorking([this, notice] { notice_.show(instance_, window_, notice); });
}

// A close asked for stays told until the window goes: a command may yet wait for its turn or ask.
void MainWindow::end() {
    whileWorking([this] {
        if (closePending_)
            notice_.show(instance_, window_, kClosesAfterCommand);
        else
            notice_.hide();
    });
}

void MainWindow::waitingForTurn(bool waiting) {
    waitingForTurn_ = waiting;
    if (waiting)
        begin("Waiting for another Velmora command on this computer to finish...");
    else
        end();
}

INT_PTR MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: setUpControls(); return FALSE;  // the focus is placed when the window is shown
        case WM_COMMAND:
            if (!busy_) onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case kFieldLeftMessage: onFieldLeft(static_cast<int>(wParam)); return TRUE;
        case kRunOnWindowThread: {
            auto& posted = *reinterpret_cast<PostedCall*>(lParam);  // the worker waits for it
            whenNoBoxIsUp([&posted] {
                posted.call();
                posted.done.set_value();
            });
            return TRUE;
        }
        case kCommandDone:
            // Not from within a box's own loop: the box would outlive what it was shown over.
            if (boxesUp_ > 0)
                doneWaiting_ = true;
            else
                onCommandDone();
            return TRUE;
        case kUpdateView: {
            const std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
            (*call)();
            return TRUE;
        }
        case kShowNotice: {
            std::shared_ptr<std::function<void()>> show(reinterpret_cast<std::function<void()>*>(lParam));
            whenNoBoxIsUp([show] { (*show)(); });
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:
        case WM_THEMECHANGED: onSystemColoursChanged(); return FALSE;
        case WM_SETCURSOR: {
            // The mouse has moved over the window: a window shown under a
            // resting mouse is told so too, and need not make its tips yet.
            POINT cursor{};
            if (!toolTip_ && GetCursorPos(&cursor) && (cursor.x != cursorAtShow_.x || cursor.y != cursorAtShow_.y))
                createToolTips();
            return FALSE;
        }
        case WM_TIMER:
            // Where the service manager tells of each change, it is not asked.
            if (wParam == kStatusTimer && !(watcher_ && watcher_->notifying()) && followsNow()) askStatus(false);
            return TRUE;
        case kServiceChanged:
            if (followsNow()) askStatus(false);
            return TRUE;
        case kStatusAnswered: onStatusAnswered(); return TRUE;
        case WM_SIZE:
            // What changed while the window was minimized shows once it is back.
            if (wParam == SIZE_RESTORED && followsNow()) askStatus(false);
            return FALSE;
        case WM_CLOSE: onClose(); return TRUE;
        case WM_QUERYENDSESSION:
            // Logging off or shutting down would cut a running command off between two steps: not yet. One that
            // has ended and waits only for a notice to be closed is cut off from nothing.
            if (!busy_ || doneWaiting_) return FALSE;
            // One that only waits for its turn has changed nothing: it is given up if the session ends.
            if (waitingForTurn_) return FALSE;
            ShutdownBlockReasonCreate(window_, L"Velmora is finishing a command that changes a service.");
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, FALSE);
            return TRUE;
        case WM_ENDSESSION:
            // The session ends all the same: the command is let finish while Windows waits. From within a box's
            // own loop only until the command ends or waits for an answer: the box could not close before this
            // returns, nor what waits behind it come up.
            if (wParam) {
                onClose();
                const bool withinBox = boxesUp_ > 0;
                MSG pending;
                while (busy_ && !(withinBox && (doneWaiting_ || workerWaiting_)) &&
                       GetMessageW(&pending, nullptr, 0, 0) > 0) {
                    TranslateMessage(&pending);
                    DispatchMessageW(&pending);
                }
            }
            return TRUE;
        case WM_DESTROY:
            watcher_.reset();
            follower_.reset();  // before the session it asks goes
            PostQuitMessage(0);
            return TRUE;
    }
    return FALSE;
}

void MainWindow::followService() {
    if (watcher_ && session_ && !busy_)
        watcher_->follow(session_->installed() ? session_->configuration().serviceName : std::string());
}

void MainWindow::askStatus(bool showAnyway) {
    if (!session_ || !follower_) return;
    Session& session = *session_;
    auto question = session.followQuestion();
    if (!question) {
        if (showAnyway) session.refresh();  // no service: nothing to wait for
        return;
    }
    follower_->ask(std::move(*question), showAnyway, commandsRun_,
                   [&session](const StatusQuestion& asked) { return session.answer(asked); });
}

void MainWindow::onStatusAnswered() {
    const auto answered = follower_ ? follower_->take() : std::nullopt;
    if (!answered) return;
    if (!busy_ && answered->era == commandsRun_)
        session_->takeFollowed(answered->question, answered->check, answered->showAnyway);
    if (const auto again = follower_->askedMeanwhile(); again && !busy_) askStatus(*again);
}

// A service may stop or start without us; the status line follows it while
// someone can see it, and not while a command or a box of ours is up.
bool MainWindow::followsNow() const {
    return session_ && !busy_ && IsWindowVisible(window_) && !IsIconic(window_) && IsWindowEnabled(window_);
}

// Read-only and disabled boxes ask with WM_CTLCOLORSTATIC, editable ones
// with WM_CTLCOLOREDIT. A high-contrast theme keeps the system's colours.
INT_PTR MainWindow::onControlColour(HDC dc, HWND control) {
    if (highContrast_) return FALSE;
    switch (GetDlgCtrlID(control)) {
        case IDC_STATUS_TEXT:
            SetTextColor(dc, RGB(0, 0, 255));
            return background(dc, GetSysColor(COLOR_BTNFACE), GetSysColorBrush(COLOR_BTNFACE));
        case IDC_SERVICE_NAME: return serviceNameLocked_ ? menuColour(dc) : white(dc);
        case IDC_POLICY_FILE: return policyBoxWhite_ ? white(dc) : menuColour(dc);
    }
    return FALSE;
}

}  // namespace velmora
