#pragma once
#include "platform/EventLog.h"

namespace velmora {

class Win32EventLog : public EventLog {
public:
    std::vector<ServiceManagerEvent> serviceManagerEvents(FileTime since) override;
    MaybeFailure write(const ProgramEvent& event) override;
};

}  // namespace velmora
