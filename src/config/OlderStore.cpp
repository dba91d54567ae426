#include "config/OlderStore.h"

#include <algorithm>

#include "config/Encodings.h"
#include "config/NameRule.h"
#include "config/StoreLayout.h"
#include "platform/Text.h"

namespace velmora {

bool OlderStore::empty() {
    if (!names_) {
        names_.emplace();
        if (!registry_.read(kLocalMachine, store::kStoreKey, store::kOlderStoreTakenIn)) {
            if (const auto older = registry_.readKeyInView(kLocalMachine, store::kStoreKey, RegistryView::Bits32))
                *names_ = storedList(valueNamed(*older, store::kListValue));
        }
    }
    return names_->empty();
}

std::vector<std::string> OlderStore::namesBeyond(const NameList& listed) {
    if (empty()) return {};
    std::vector<std::string> beyond;
    for (const std::string& name : *names_)
        if (!listed.holds(name) &&
            std::none_of(beyond.begin(), beyond.end(), [&](const std::string& b) { return sameName(b, name); }))
            beyond.push_back(name);
    return beyond;
}

std::optional<KeyValues> OlderStore::valuesOf(const std::string& name, const NameList& listed) {
    if (empty() || !unusableNameReason(name).empty() || !NameList(namesBeyond(listed)).holds(name)) return std::nullopt;
    return registry_.readKeyInView(kLocalMachine, store::configurationKey(name), RegistryView::Bits32);
}

bool OlderStore::holdsKey(const std::string& name) {
    const auto subkeys = registry_.subkeysInView(kLocalMachine, store::kStoreKey, RegistryView::Bits32);
    return NameList(subkeys).holds(name);
}

void OlderStore::askAgain() {
    if (names_ && !names_->empty()) names_.reset();
}

std::optional<RegistryValue> valueNamed(const KeyValues& key, const std::string& name) {
    for (const auto& [held, value] : key.values)
        if (sameName(held, name)) return value;
    return std::nullopt;
}

MaybeFailure OlderStore::noteTakenIn() {
    if (auto failure = registry_.write(kLocalMachine, store::kStoreKey,
                                       {RegistryWrite::numberValue(store::kOlderStoreTakenIn, 1)}))
        return failure;
    names_ = std::vector<std::string>();
    return std::nullopt;
}

}  // namespace velmora
