#pragma once
#include "config/ConfigurationDocument.h"
#include "platform/Platform.h"

namespace velmora {

// What an imported entry leaves out: a new configuration of this machine's
// default home and JDK, with the server JVM, whatever was edited before.
Configuration entryBase(Platform& platform);

// An imported entry as a whole configuration: a new configuration's values,
// with the entry's own handed to their setters as `set` hands them, so that
// a given home moves the paths below it unless the entry gives those too.
Configuration completedEntry(const DecodedEntry& entry, Platform& platform);

}  // namespace velmora
