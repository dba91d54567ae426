#include "checks/Bitness.h"
#include "support/Fixture.h"

using namespace velmora;
using velmora::testing::tinyPe;

TEST(Bitness, MachineComesFromThePeHeaderAndOnlyAKnownMismatchIsAProblem) {
    EXPECT_EQ(machineOfPe(tinyPe(0x14C)), Machine::X86);
    EXPECT_EQ(machineOfPe(tinyPe(0x8664, 0x80)), Machine::X64);
    EXPECT_EQ(machineOfPe(tinyPe(0xAA64)), Machine::Arm64);
    EXPECT_EQ(machineOfPe(tinyPe(0x1C0)), Machine::Unknown);  // 32-bit ARM is not a JVM we know
    std::string cut = tinyPe(0x8664);
    EXPECT_EQ(machineOfPe(cut.substr(0, cut.size() - 1)), Machine::Unknown);
    std::string farHeader = tinyPe(0x8664);
    farHeader.replace(0x3C, 4, "\xF0\xFF\xFF\xFF");  // e_lfanew beyond the bytes read
    EXPECT_EQ(machineOfPe(farHeader), Machine::Unknown);
    cut[0x40] = 'X';
    EXPECT_EQ(machineOfPe(cut), Machine::Unknown);
    EXPECT_EQ(machineOfPe("demo jvm"), Machine::Unknown);

    EXPECT_EQ(bitnessMismatch("C:\\j\\jvm.dll", Machine::X86, "C:\\t\\tomcat10.exe", Machine::X64),
              "The JVM library 'C:\\j\\jvm.dll' is 32-bit but the service wrapper 'C:\\t\\tomcat10.exe' is 64-bit, "
              "so the service cannot load that JVM. Choose a JDK or a wrapper of the same kind.");
    EXPECT_NE(bitnessMismatch("j", Machine::Arm64, "w", Machine::X64).find("is 64-bit ARM but"), std::string::npos);
    EXPECT_EQ(bitnessMismatch("j", Machine::X64, "w", Machine::X64), "");
    EXPECT_EQ(bitnessMismatch("j", Machine::Unknown, "w", Machine::X86), "");
}
