#pragma once
#include "platform/Platform.h"
#include "platform/win32/Win32Accounts.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32CommandLock.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32EventLog.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Network.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Services.h"

namespace velmora {

// The real platform in one object, as the program runs on it.
struct Win32Platform {
    Win32Registry registry;
    Win32Processes processes;
    Win32Files files;
    Win32Services services;
    Win32Environment environment;
    Win32Accounts accounts;
    Win32Clock clock;
    Win32EventLog events;
    Win32Network network;
    Win32CommandLock commandLock;
    Platform platform{registry, processes, files, services, environment, accounts, clock, events, network, commandLock};
};

}  // namespace velmora
