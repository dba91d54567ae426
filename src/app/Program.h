#pragma once
#include "app/DebugLog.h"
#include "app/Editing.h"
#include "app/FrontEnd.h"
#include "app/Journal.h"
#include "app/LogKeeper.h"
#include "app/Session.h"
#include "config/ConfigurationStore.h"
#include "config/ConfigurationTransfer.h"
#include "platform/Platform.h"

namespace velmora {

// What one run of either front end works with, made once: the one store, the
// configuration being edited, the operations on its service, export and
// import, its logs and what the event log is told.
struct Program {
    Program(Platform& platform, FrontEnd& frontEnd, DebugLog& debugLog, SetterChecks checks);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Platform& platform;
    FrontEnd& frontEnd;
    ConfigurationStore store;
    Editing editing;
    Journal journal;
    LogKeeper logs;
    Session session;
    ConfigurationTransfer transfer;
};

}  // namespace velmora
