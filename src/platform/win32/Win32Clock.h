#pragma once
#include "platform/Clock.h"

namespace velmora {

class Win32Clock : public Clock {
public:
    FileTime now() override;
    void sleep(std::uint32_t milliseconds) override;
};

}  // namespace velmora
