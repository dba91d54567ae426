#pragma once
#include "platform/EventLog.h"

namespace velmora {

class Win32EventLog : public EventLog {
public:
    std::vector<ServiceManagerEvent> serviceManagerEvents(FileTime since) override;
    std::uint32_t newestServiceManagerRecord() override;
    MaybeFailure write(const ProgramEvent& event) override;
};

}  // namespace velmora
