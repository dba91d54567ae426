#pragma once
#include <optional>
#include <string>
#include <vector>

#include "config/NameList.h"
#include "platform/Registry.h"

namespace velmora {

// The store an older, 32-bit Velmora kept. On 64-bit Windows a 32-bit
// program's HKEY_LOCAL_MACHINE\SOFTWARE is the 32-bit view (WOW6432Node),
// which this program does not see by itself: until its configurations are
// taken into the store, they are read from there. It is only read, never
// changed, so an older Velmora still finds what it kept.
class OlderStore {
public:
    explicit OlderStore(Registry& registry) : registry_(registry) {}

    // Whether it names no configuration at all (or was taken in): then nothing else need be asked.
    bool empty();
    // Its names that the store's list does not hold; none once they were taken in.
    std::vector<std::string> namesBeyond(const NameList& listed);
    // The values of one of those, as its key there holds them; nothing when it has no key there.
    std::optional<KeyValues> valuesOf(const std::string& name, const NameList& listed);
    // Whether it has a key of that name, readable or not.
    bool holdsKey(const std::string& name);
    // Its list and whether it was taken in are read again at the next question, unless it named nothing.
    void askAgain();
    // Notes in the store that its configurations were taken in: from then on it is not read.
    MaybeFailure noteTakenIn();

private:
    Registry& registry_;
    std::optional<std::vector<std::string>> names_;  // its list, read once
};

// One value of a key as read whole, by its name in any case; nothing when it holds none of that name.
std::optional<RegistryValue> valueNamed(const KeyValues& key, const std::string& name);

}  // namespace velmora
