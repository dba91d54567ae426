#pragma once
#include <windows.h>

#include <string>

#include "ui/WindowSurface.h"
#include "ui/win32/AboutBox.h"
#include "ui/win32/DialogScaling.h"
#include "ui/win32/Fonts.h"
#include "ui/win32/LiveRegion.h"
#include "ui/win32/NoticeWindow.h"
#include "ui/win32/OpenDialog.h"

namespace velmora {

class DebugLog;
class DoConfig;

// The main window `main`: every field of one configuration and the service
// commands. Its handlers pass each event on to DoConfig; DoConfig writes back
// through the WindowSurface calls.
class MainWindow : public WindowSurface {
public:
    MainWindow(HINSTANCE instance, DebugLog& debugLog);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden, in the state it has before any configuration.
    bool create();
    // From here on the handlers call into the logic.
    void attach(DoConfig& config);
    void show();
    HWND handle() const { return window_; }

    std::string fieldText(FieldControl control) override;
    void setFieldText(FieldControl control, const std::string& text) override;
    int checkValue(CheckControl control) override;
    void setCheckValue(CheckControl control, int value) override;
    bool isServerJvmSelected() override;
    void selectJvmOption(bool server) override;
    void clearList1() override;
    void addToList1(const std::string& option) override;
    int list1Count() override;
    std::string list1Item(int index) override;
    void removeFromList1(int index) override;
    int list1Selection() override;
    std::string optionEntryText() override;
    void setOptionEntryText(const std::string& text) override;
    std::string installCaption() override;
    void setInstallCaption(const std::string& caption) override;
    std::string startCaption() override;
    void setStartCaption(const std::string& caption) override;
    void setStartEnabled(bool enabled) override;
    std::string statusText() override;
    void setStatusText(const std::string& text) override;
    void lockServiceName() override;
    void unlockServiceName() override;
    void focusServiceName() override;
    void setPolicyRowEnabled(bool enabled) override;
    void setCaption(const std::string& caption) override;
    void showNotice(const std::string& text) override;
    void hideNotice() override;
    void appendDebugLog(const std::string& line) override;

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK fieldBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR mainWindow);
    INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onControlColour(HDC dc, HWND control);

    // Set-up of the controls and what follows the DPI (MainWindowLayout.cpp).
    void setUpControls();
    void useDpi(UINT dpi);
    void createToolTips();
    void useToolTipDpi(UINT dpi);
    void onDpiChanged(UINT dpi, const RECT* suggested);
    void onSystemColoursChanged();
    void onStatusTimer();

    // Handlers (MainWindowHandlers.cpp).
    void onCommand(int id, int code);
    void onFieldLeft(int id);
    void runPendingFieldUpdates();
    void commitFocusedField();
    void onCheckChanged(int id);
    void onSizeChosen(int id);
    void onFolderBrowse(int id);
    void onFileBrowse(int id);
    void onAddOption();
    void onDeleteOption();
    void onOptionDoubleClicked();
    void onMenuCommand(int id);

    HWND item(int id) const { return GetDlgItem(window_, id); }
    std::string textOf(int id) const;

    HINSTANCE instance_;
    DebugLog& debugLog_;
    DoConfig* config_ = nullptr;
    HWND window_ = nullptr;
    HWND toolTip_ = nullptr;
    FontHandle frameFont_;
    FontHandle courierFont_;
    FontHandle toolTipFont_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    DialogScaling scaling_;
    LiveRegion status_;
    bool highContrast_ = false;
    bool serviceNameLocked_ = false;
    bool policyBoxWhite_ = false;
    // The box whose text a command passed on while it kept the cursor.
    int committedBoxId_ = 0;
    std::string committedText_;
    OpenDialog openDialog_;
    AboutBox aboutBox_;
    NoticeWindow notice_;
};

}  // namespace velmora
