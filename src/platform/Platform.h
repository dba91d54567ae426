#pragma once
#include "platform/Accounts.h"
#include "platform/Clock.h"
#include "platform/CommandLock.h"
#include "platform/Environment.h"
#include "platform/EventLog.h"
#include "platform/Files.h"
#include "platform/Network.h"
#include "platform/Processes.h"
#include "platform/Registry.h"
#include "platform/Services.h"

namespace velmora {

// Everything the logic needs from the operating system, by reference.
struct Platform {
    Registry& registry;
    Processes& processes;
    Files& files;
    Services& services;
    Environment& environment;
    Accounts& accounts;
    Clock& clock;
    EventLog& events;
    Network& network;
    CommandLock& commandLock;
};

}  // namespace velmora
