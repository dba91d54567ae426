#include <gtest/gtest.h>

#include <string>

#include "ui/Pickers.h"

using namespace std::string_literals;
using namespace velmora;

TEST(Pickers, FilterListTrimAndFileBufferKeepTheirNuls) {
    const std::string xml = AddFilterItem("", "XML Documments (*.xml)", "*.XML");
    EXPECT_EQ(xml, "XML Documments (*.xml)\0*.XML\0"s);
    EXPECT_EQ(AddFilterItem(xml, "All Files (*.*)"), "XML Documments (*.xml)\0*.XML\0All Files (*.*)\0*.*\0"s);

    EXPECT_EQ(TrimAtNul("C:\\a.xml\0junk\0"s) + "|" + TrimAtNul("\0C:\\a.xml"s) + "|" + TrimAtNul("C:\\a.xml"), "C:\\a.xml||C:\\a.xml");

    EXPECT_EQ(fileDialogBuffer("server.xml"), "server.xml" + std::string(246, '\0'));
    EXPECT_EQ(fileDialogBuffer(std::string(300, 'n')), std::string(256, 'n'));
}

TEST(Pickers, OmittedArgumentsTakeTheirDefaults) {
    const FileDialogCall call = prepareFileDialogCall(FileDialogRequest{}, "C:\\work");
    EXPECT_EQ(std::to_string(call.flags) + std::to_string(call.filterIndex) + std::to_string(call.openMode) + call.initialFolder, "011C:\\work");
    EXPECT_EQ(call.filter, "\0"s);
    EXPECT_EQ(call.file, std::string(256, '\0'));

    FileDialogRequest request;
    request.initialFolder = "C:\\tomcat\\conf\\";
    request.filter = AddFilterItem("", "Policy Documments (*.policy)", "*.policy");
    const FileDialogCall given = prepareFileDialogCall(request, "C:\\work");
    EXPECT_EQ(given.initialFolder + "|" + given.filter, "C:\\tomcat\\conf\\|Policy Documments (*.policy)\0*.policy\0\0"s);  // a second NUL ends it
}
