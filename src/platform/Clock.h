#pragma once
#include <cstdint>
#include <string>

namespace velmora {

// A moment as Windows stamps files and events: 100-nanosecond ticks since
// 1 January 1601, UTC.
using FileTime = std::uint64_t;
constexpr FileTime kTicksPerSecond = 10'000'000;
constexpr FileTime kTicksPerMillisecond = 10'000;

// The moment in UTC as ISO 8601: 2026-12-07T01:02:03Z.
std::string isoUtcText(FileTime time);

// The time of day and waiting; a stand-in lets tests pass time without waiting.
class Clock {
public:
    virtual ~Clock() = default;
    virtual FileTime now() = 0;
    virtual void sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace velmora
