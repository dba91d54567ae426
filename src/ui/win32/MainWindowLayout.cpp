#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <iterator>

#include "ui/win32/Dpi.h"
#include "ui/win32/MainWindowControls.h"
#include "ui/win32/MainWindowFonts.h"
#include "ui/win32/ToolTips.h"

namespace velmora {

namespace {

struct ToolTipText {
    int controlId;
    const wchar_t* text;
};

constexpr ToolTipText kToolTips[] = {
    {IDC_SERVICE_NAME_LABEL,
     L"Give this configuration a unique name. This name will identify this particular configuration and "
     L"will also become the service name."},
    {IDC_DESCRIPTION_LABEL,
     L"Optional. Enter a description of this configuration. This will become the description field of "
     L"the service in the \"Services\" MMC console."},
    {IDC_STATUS_LABEL, L"Whether the service is or isn't installed and running."},
    {IDC_TOMCAT_VERSION_LABEL, L"The Tomcat version that the Catalina home's RELEASE-NOTES declares."},
    {IDC_CATALINA_HOME_LABEL,
     L"Usually the root folder of your Tomcat installation. This is the directory that generally contains "
     L"the \"/bin\", \"/common\", \"/server\", and \"/shared\" directories."},
    {IDC_CATALINA_BASE_LABEL,
     L"Usually the root folder of your Tomcat installation. This is the directory that generally "
     L"contains the \"/conf\", \"/logs\", \"/temp\", \"/work\", and \"/webapps\" directories."},
    {IDC_CONFIG_FILE_LABEL,
     L"This should be the full path and file name of your Tomcat config file. This will probably be your "
     L"server.xml, but can be named anything as long as it's specified here."},
    {IDC_SECURITY_MANAGER, L"Check this box if you want to use Security Manager."},
    {IDC_POLICY_FILE_LABEL,
     L"The full path and file name of your security policy file. This will usually be "
     L"$catalina.base\\conf\\catalina.policy or whatever your policy file is named"},
    {IDC_JAVA_HOME_LABEL, L"This should be the root folder of your JDK installation."},
    {IDC_TEMP_DIRECTORY_LABEL, L"Specify a folder that Tomcat can use as a working/temp directory."},
    {IDC_SYSTEM_OUT_LABEL,
     L"Optional. The path to where you want the System.out log written. This is just the path; the "
     L"service manager will provide the file name."},
    {IDC_SYSTEM_ERR_LABEL,
     L"Optional. The path to where you want the System.err log written. This is just the path; the "
     L"service manager will provide the file name."},
    {IDC_INITIAL_HEAP_LABEL, L"Optional. This value will become the -Xms option."},
    {IDC_MAX_HEAP_LABEL, L"Optional. This value will become the -Xmx option."},
    {IDC_STACK_SIZE_LABEL, L"Optional. This value will become the -Xss option."},
    {IDC_JVM_LABEL, L"Select the JVM you want to use."},
    {IDC_SERVER_JVM, L"Use the server JVM"},
    {IDC_CLIENT_JVM, L"Use the client JVM"},
    {IDC_REDUCE_OS_SIGNALS, L"Reduce use of OS signals"},
};

// Each list starts with the empty entry that leaves the size unset.
constexpr const wchar_t* kHeapSizes[] = {L"", L"32", L"64", L"128", L"256", L"512", L"1024", L"2048", L"4096", L"8192"};
constexpr const wchar_t* kStackSizes[] = {L"", L"128", L"256", L"512", L"768", L"1024", L"2048", L"4096"};

struct SizeList {
    int controlId;
    const wchar_t* const* entries;
    std::size_t count;
};

constexpr SizeList kSizeLists[] = {
    {IDC_INITIAL_HEAP, kHeapSizes, std::size(kHeapSizes)},
    {IDC_MAX_HEAP, kHeapSizes, std::size(kHeapSizes)},
    {IDC_STACK_SIZE, kStackSizes, std::size(kStackSizes)},
};

HICON loadIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA), IMAGE_ICON, size, size, 0));
}

bool highContrastOn() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

void MainWindow::setUpControls() {
    status_ = LiveRegion(item(IDC_STATUS_TEXT));
    highContrast_ = highContrastOn();
    useDpi(dpiOf(window_));
}

// A size list is seen only from its box: it is filled when the box first
// takes the focus (the arrow keys walk it from there) or drops its list,
// not at start-up, where its messages cost more than anything shown.
void MainWindow::fillSizeList(int id) {
    HWND combo = item(id);
    if (SendMessageW(combo, CB_GETCOUNT, 0, 0) > 0) return;
    for (const SizeList& list : kSizeLists)
        if (list.controlId == id)
            for (std::size_t i = 0; i < list.count; ++i)
                SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(list.entries[i]));
}

// The dialog manager laid the controls out for the DPI at creation; what it
// does not know of follows here.
void MainWindow::useDpi(UINT dpi) {
    bigIcon_ = IconHandle(loadIcon(instance_, systemMetricAt(SM_CXICON, dpi)));
    smallIcon_ = IconHandle(loadIcon(instance_, systemMetricAt(SM_CXSMICON, dpi)));
    // The small one first: under Wine each change has the X11 driver convert the
    // window's icons for X, and in this order that takes half as long.
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));

    frameFont_ = FontHandle(createPointFont(kFrameFont, dpi));
    courierFont_ = FontHandle(createPointFont(kCourierFont, dpi));
    for (int id : kFrames)
        SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(frameFont_.get()), FALSE);
    for (int id : kCourierControls)
        SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(courierFont_.get()), FALSE);

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
    LOGFONTW tipLook{};
    if (statusFontAt(dpi, tipLook)) {
        toolTipFont_ = FontHandle(CreateFontIndirectW(&tipLook));
        SendMessageW(toolTip_, WM_SETFONT, reinterpret_cast<WPARAM>(toolTipFont_.get()), FALSE);
    }
    setToolTipDpi(toolTip_, dpi);
}

void MainWindow::onDpiChanged(UINT dpi, const RECT* suggested) {
    // No WM_SETREDRAW around it: on a top-level window Wine takes it for hiding the window.
    DialogWindow::onDpiChanged(dpi, suggested);
    useDpi(dpi);
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::onSystemColoursChanged() {
    highContrast_ = highContrastOn();
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace velmora
