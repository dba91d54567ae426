#include <gtest/gtest.h>

#include <string>

#include "ui/Pickers.h"

using namespace std::string_literals;
using velmora::AddFilterItem;
using velmora::FileDialogCall;
using velmora::FileDialogRequest;
using velmora::TrimAtNul;

TEST(Pickers, FilterListEndsEveryStringWithOneNul) {
    const std::string xml = AddFilterItem("", "XML Documments (*.xml)", "*.XML");
    EXPECT_EQ(xml, "XML Documments (*.xml)\0*.XML\0"s);
    EXPECT_EQ(AddFilterItem(xml, "All Files (*.*)"), "XML Documments (*.xml)\0*.XML\0All Files (*.*)\0*.*\0"s);
}

TEST(Pickers, TrimAtNulKeepsTheTextBeforeTheFirstNul) {
    EXPECT_EQ(TrimAtNul("C:\\tomcat\\conf\\server.xml"), "C:\\tomcat\\conf\\server.xml");
    EXPECT_EQ(TrimAtNul("C:\\a.xml\0junk\0"s), "C:\\a.xml");
    EXPECT_EQ(TrimAtNul("\0C:\\a.xml"s), "");
    EXPECT_EQ(TrimAtNul(""), "");
}

TEST(Pickers, FileBufferIsTheInitialNamePaddedOrCutTo256) {
    const std::string shortBuffer = velmora::fileDialogBuffer("server.xml");
    ASSERT_EQ(shortBuffer.size(), 256u);
    EXPECT_EQ(shortBuffer.substr(0, 10), "server.xml");
    EXPECT_EQ(shortBuffer.find_first_not_of('\0', 10), std::string::npos);

    const std::string longName(300, 'n');
    EXPECT_EQ(velmora::fileDialogBuffer(longName), std::string(256, 'n'));
    EXPECT_EQ(velmora::fileDialogBuffer(""), std::string(256, '\0'));
}

TEST(Pickers, OmittedArgumentsTakeTheirDefaults) {
    const FileDialogCall call = velmora::prepareFileDialogCall(FileDialogRequest{}, "C:\\work");
    EXPECT_EQ(call.flags, 0);
    EXPECT_EQ(call.filterIndex, 1);
    EXPECT_EQ(call.initialFolder, "C:\\work");
    EXPECT_TRUE(call.openMode);
    EXPECT_EQ(call.filter, "\0"s);
    EXPECT_EQ(call.customFilter, std::string(255, '\0'));
    EXPECT_EQ(call.fileTitle, std::string(256, '\0'));
    EXPECT_EQ(call.file, std::string(256, '\0'));

    int flags = 4;
    FileDialogRequest request;
    request.flags = &flags;
    request.initialFolder = "C:\\tomcat\\conf\\";
    request.filter = AddFilterItem("", "Policy Documments (*.policy)", "*.policy");
    request.filterIndex = 2;
    request.title = "Please select a policy file...";
    request.openMode = false;
    const FileDialogCall given = velmora::prepareFileDialogCall(request, "C:\\work");
    EXPECT_EQ(given.flags, 4);
    EXPECT_EQ(given.filterIndex, 2);
    EXPECT_EQ(given.initialFolder, "C:\\tomcat\\conf\\");
    EXPECT_EQ(given.filter, "Policy Documments (*.policy)\0*.policy\0\0"s);
    EXPECT_EQ(given.title, "Please select a policy file...");
    EXPECT_FALSE(given.openMode);
}

// The dialog is played by a function that fills the buffer as the real one does.
TEST(Pickers, ChosenPathComesBackAndFlagsOnlyOnSuccess) {
    int flags = 4;
    FileDialogRequest request;
    request.flags = &flags;

    const std::string longest = "C:\\" + std::string(252, 'p');  // 255 characters
    auto choose = [&](FileDialogCall& call) {
        call.file.replace(0, longest.size() + 1, longest + '\0');
        call.flags = 4 | 0x400;
        return true;
    };
    EXPECT_EQ(velmora::runFileDialog(request, "C:\\", choose), longest);
    EXPECT_EQ(flags, 4 | 0x400);

    flags = 4;
    auto cancel = [](FileDialogCall& call) {
        call.flags = 0x400;
        return false;
    };
    EXPECT_EQ(velmora::runFileDialog(request, "C:\\", cancel), "");
    EXPECT_EQ(flags, 4);

    // Without a flag word there is nothing to write back to.
    EXPECT_EQ(velmora::runFileDialog(FileDialogRequest{}, "C:\\", choose), longest);
}
