#include "checks/Bitness.h"
#include "support/Fixture.h"

using namespace velmora;
using velmora::testing::tinyPe;

TEST(Bitness, MachineComesFromThePeHeaderAndOnlyAKnownMismatchIsAProblem) {
    std::string cut = tinyPe(0x8664), farHeader = tinyPe(0x8664), noPe = tinyPe(0x8664);
    cut.pop_back();
    farHeader.replace(0x3C, 4, "\xF0\xFF\xFF\xFF");  // e_lfanew beyond the bytes read
    noPe[0x40] = 'X';
    // 32-bit ARM (0x1C0) is not a JVM we know.
    const std::pair<std::string, Machine> machines[] = {
        {tinyPe(0x14C), Machine::X86}, {tinyPe(0x8664, 0x80), Machine::X64}, {tinyPe(0xAA64), Machine::Arm64},
        {tinyPe(0x1C0), Machine::Unknown}, {cut, Machine::Unknown}, {farHeader, Machine::Unknown},
        {noPe, Machine::Unknown}, {"demo jvm", Machine::Unknown}};
    for (const auto& [bytes, machine] : machines) EXPECT_EQ(machineOfPe(bytes), machine) << bytes.size();

    EXPECT_EQ(bitnessMismatch("C:\\j\\jvm.dll", Machine::X86, "C:\\t\\tomcat10.exe", Machine::X64),
              "The JVM library 'C:\\j\\jvm.dll' is 32-bit but the service wrapper 'C:\\t\\tomcat10.exe' is 64-bit, "
              "so the service cannot load that JVM. Choose a JDK or a wrapper of the same kind.");
    EXPECT_NE(bitnessMismatch("j", Machine::Arm64, "w", Machine::X64).find("is 64-bit ARM but"), std::string::npos);
    EXPECT_EQ(bitnessMismatch("j", Machine::X64, "w", Machine::X64) + bitnessMismatch("j", Machine::Unknown, "w", Machine::X86), "");
}
