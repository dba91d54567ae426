#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace velmora {

FileTime Win32Clock::now() {
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    return (FileTime{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

void Win32Clock::sleep(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace velmora
