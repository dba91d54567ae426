#include "config/Bitness.h"

#include <cstdint>

namespace velmora {

namespace {
constexpr std::size_t kLfanewOffset = 0x3C;

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}
}  // namespace

Machine machineOfPe(const std::string& bytes) {
    if (bytes.size() < kLfanewOffset + 4 || bytes.compare(0, 2, "MZ") != 0) return Machine::Unknown;
    const std::size_t pe = littleEndian(bytes, kLfanewOffset, 4);
    if (pe > bytes.size() || bytes.size() - pe < 6 || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return Machine::Unknown;
    switch (littleEndian(bytes, pe + 4, 2)) {
        case 0x014C: return Machine::X86;
        case 0x8664: return Machine::X64;
        case 0xAA64: return Machine::Arm64;
        default: return Machine::Unknown;
    }
}

std::string bitnessName(Machine machine) {
    switch (machine) {
        case Machine::X86: return "32-bit";
        case Machine::X64: return "64-bit";
        case Machine::Arm64: return "64-bit ARM";
        default: return "of an unknown kind";
    }
}

std::string bitnessMismatch(const std::string& jvmLibrary, Machine jvm, const std::string& wrapper,
                            Machine wrapperMachine) {
    if (jvm == Machine::Unknown || wrapperMachine == Machine::Unknown || jvm == wrapperMachine) return {};
    return "The JVM library '" + jvmLibrary + "' is " + bitnessName(jvm) + " but the service wrapper '" + wrapper +
           "' is " + bitnessName(wrapperMachine) +
           ", so the service cannot load that JVM. Choose a JDK or a wrapper of the same kind.";
}

std::string bitnessProblem(Files& files, const std::string& jvmLibrary, const std::string& wrapper) {
    const auto machineOf = [&files](const std::string& path) {
        return machineOfPe(files.readBytes(path, kPeHeaderBytes).value_or(""));
    };
    return bitnessMismatch(jvmLibrary, machineOf(jvmLibrary), wrapper, machineOf(wrapper));
}

}  // namespace velmora
