#include "app/Program.h"

#include "app/Imports.h"

namespace velmora {

Program::Program(Platform& platform, FrontEnd& frontEnd, DebugLog& debugLog, SetterChecks checks)
    : platform(platform),
      frontEnd(frontEnd),
      store(platform.registry),
      editing(platform, store, frontEnd, checks),
      session(platform, store, editing, frontEnd, debugLog),
      transfer(store, platform.files,
               [&platform](const DecodedEntry& entry) { return completedEntry(entry, platform); }) {}

}  // namespace velmora
