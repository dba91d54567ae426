#pragma once
#include <string>

namespace velmora {

// The main window's controls that the logic reads and writes.
enum class FieldControl {
    Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9, Text11,
    Combo1, Combo2, Combo3
};

enum class CheckControl { Check1, Check2 };

// What the logic may do to the main window. The Win32 window implements it;
// host tests use a recording stand-in.
class WindowSurface {
public:
    virtual ~WindowSurface() = default;

    virtual std::string fieldText(FieldControl control) = 0;
    virtual void setFieldText(FieldControl control, const std::string& text) = 0;

    // 0 unchecked, 1 checked. Setting a different value runs the box's
    // change handler, as a click would.
    virtual int checkValue(CheckControl control) = 0;
    virtual void setCheckValue(CheckControl control, int value) = 0;

    // Option1 is "Server JVM", Option2 "Client JVM".
    virtual bool isServerJvmSelected() = 0;
    virtual void selectJvmOption(bool server) = 0;

    // List1, the additional JVM options (a sorted list).
    virtual void clearList1() = 0;
    virtual void addToList1(const std::string& option) = 0;
    virtual int list1Count() = 0;
    virtual std::string list1Item(int index) = 0;
    virtual void removeFromList1(int index) = 0;
    virtual int list1Selection() = 0;  // -1 when none

    virtual std::string optionEntryText() = 0;  // Text14
    virtual void setOptionEntryText(const std::string& text) = 0;

    virtual std::string installCaption() = 0;  // Command6
    virtual void setInstallCaption(const std::string& caption) = 0;
    virtual std::string startCaption() = 0;  // Command9
    virtual void setStartCaption(const std::string& caption) = 0;
    virtual void setStartEnabled(bool enabled) = 0;

    virtual std::string statusText() = 0;  // Label20
    virtual void setStatusText(const std::string& text) = 0;

    // Text5's two looks.
    virtual void lockServiceName() = 0;
    virtual void unlockServiceName() = 0;
    virtual void focusServiceName() = 0;

    virtual void setPolicyRowEnabled(bool enabled) = 0;
    virtual void setCaption(const std::string& caption) = 0;

    // The "Working..." notice window: shown and painted before a blocking command.
    virtual void showNotice(const std::string& text) = 0;
    virtual void hideNotice() = 0;

    virtual void appendDebugLog(const std::string& line) = 0;
};

}  // namespace velmora
