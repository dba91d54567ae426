#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include "ui/win32/Dpi.h"
#include "ui/win32/MainWindowControls.h"
#include "ui/win32/MainWindowFonts.h"
#include "ui/win32/ToolTips.h"

namespace velmora {

namespace {

struct ToolTipText {
    int controlId;
    const char* text;
};

constexpr ToolTipText kToolTips[] = {
    {IDC_LABEL5, "Give this configuration a unique name. This name will identify this particular configuration and "
                 "will also become the service name."},
    {IDC_LABEL18, "Optional. Enter a description of this configuration. This will become the description field of "
                  "the service in the \"Services\" MMC console."},
    {IDC_LABEL19, "Whether the service is or isn't installed and running."},
    {IDC_LABEL1, "Usually the root folder of your Tomcat installation. This is the directory that generally contains "
                 "the \"/bin\", \"/common\", \"/server\", and \"/shared\" directories."},
    {IDC_LABEL22, "Usually the root folder of your Tomcat installation. This is the directory that generally "
                  "contains the \"/conf\", \"/logs\", \"/temp\", \"/work\", and \"/webapps\" directories."},
    {IDC_LABEL4, "This should be the full path and file name of your Tomcat config file. This will probably be your "
                 "server.xml, but can be named anything as long as it's specified here."},
    {IDC_CHECK1, "Check this box if you want to use Security Manager."},
    {IDC_LABEL11, "The full path and file name of your security policy file. This will usually be "
                  "$catalina.base\\conf\\catalina.policy or whatever your policy file is named"},
    {IDC_LABEL6, "This should be the root folder of your JDK installation."},
    {IDC_LABEL9, "Specify a folder that Tomcat can use as a working/temp directory."},
    {IDC_LABEL14, "Optional. The path to where you want the System.out log written. This is just the path; the "
                  "service manager will provide the file name."},
    {IDC_LABEL16, "Optional. The path to where you want the System.err log written. This is just the path; the "
                  "service manager will provide the file name."},
    {IDC_LABEL8, "Optional. This value will become the -Xms option."},
    {IDC_LABEL7, "Optional. This value will become the -Xmx option."},
    {IDC_LABEL3, "Optional. This value will become the -Xss option."},
    {IDC_LABEL2, "Select the JVM you want to use."},
    {IDC_OPTION1, "Use the server JVM"},
    {IDC_OPTION2, "Use the client JVM"},
    {IDC_CHECK2, "Reduce use of OS signals"},
};

// Each list starts with the empty entry that leaves the size unset.
constexpr const char* kHeapSizes[] = {"", "32", "64", "128", "256", "512"};
constexpr const char* kStackSizes[] = {"", "128", "256", "512", "768", "1024", "2048", "4096"};

HICON loadIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_VELMORA), IMAGE_ICON, size, size, 0));
}

bool highContrastOn() {
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

template <std::size_t N>
void fillSizes(HWND combo, const char* const (&entries)[N]) {
    for (const char* entry : entries) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

}  // namespace

void MainWindow::setUpControls() {
    scaling_.noteCreation(window_);
    keepDpiLayoutToCode(window_);
    status_ = LiveRegion(item(IDC_LABEL20));

    fillSizes(item(IDC_COMBO1), kHeapSizes);
    fillSizes(item(IDC_COMBO2), kHeapSizes);
    fillSizes(item(IDC_COMBO3), kStackSizes);

    SendDlgItemMessageA(window_, IDC_OPTION1, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(window_, IDC_CHECK2, BM_SETCHECK, BST_CHECKED, 0);

    for (const ControlSetter& box : kFieldBoxes)
        SetWindowSubclass(item(box.controlId), fieldBoxProc, 0, reinterpret_cast<DWORD_PTR>(window_));
    highContrast_ = highContrastOn();
    useDpi(dpiOf(window_));
}

// The dialog manager laid the controls out for the DPI at creation; what it
// does not know of follows here.
void MainWindow::useDpi(UINT dpi) {
    if (bigIcon_) DestroyIcon(bigIcon_);
    if (smallIcon_) DestroyIcon(smallIcon_);
    bigIcon_ = loadIcon(instance_, systemMetricAt(SM_CXICON, dpi));
    smallIcon_ = loadIcon(instance_, systemMetricAt(SM_CXSMICON, dpi));
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));

    frameFont_ = FontHandle(createPointFont(kFrameFont, dpi));
    courierFont_ = FontHandle(createPointFont(kCourierFont, dpi));
    for (int id : kFrames) SendDlgItemMessageA(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(frameFont_.get()), FALSE);
    for (int id : kCourierControls)
        SendDlgItemMessageA(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(courierFont_.get()), FALSE);

    if (toolTip_) useToolTipDpi(dpi);
}

// Made when the mouse first comes over the window: a tip shows only after
// the mouse has rested on a control, so start-up need not wait for them.
void MainWindow::createToolTips() {
    if (toolTip_) return;
    toolTip_ = createToolTipControl(instance_, window_);
    for (const ToolTipText& tip : kToolTips) addToolTip(toolTip_, window_, tip.controlId, tip.text);
    useToolTipDpi(dpiOf(window_));
}

void MainWindow::useToolTipDpi(UINT dpi) {
    LOGFONTA tipLook{};
    if (statusFontAt(dpi, tipLook)) {
        toolTipFont_ = FontHandle(CreateFontIndirectA(&tipLook));
        SendMessageA(toolTip_, WM_SETFONT, reinterpret_cast<WPARAM>(toolTipFont_.get()), FALSE);
    }
    setToolTipDpi(toolTip_, dpi);
}

void MainWindow::onDpiChanged(UINT dpi, const RECT* suggested) {
    // No WM_SETREDRAW around it: on a top-level window Wine takes it for hiding the window.
    scaling_.apply(window_, dpi, suggested);
    useDpi(dpi);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::onSystemColoursChanged() {
    highContrast_ = highContrastOn();
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace velmora
