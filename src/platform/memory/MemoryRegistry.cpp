#include "platform/memory/MemoryRegistry.h"

#include <algorithm>
#include <utility>

namespace velmora {

namespace {
// Each refusal names the call that refuses on Windows.
const Failure kCreateDenied{"RegCreateKeyExW", "Access is denied.", 5};
const Failure kDeleteDenied{"RegDeleteKeyW", "Access is denied.", 5};
const Failure kOpenDenied{"RegOpenKeyExW", "Access is denied.", 5};
}  // namespace

MemoryRegistry::MemoryRegistry() { roots_[kLocalMachine] = std::make_unique<Key>(); }

// As in the registry, runs of "\" count as one and trailing ones name the key
// itself; only a leading "\" makes the path invalid.
std::optional<std::vector<std::string>> MemoryRegistry::splitPath(const std::string& key) {
    if (!key.empty() && key.front() == '\\') return std::nullopt;
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start < key.size()) {
        auto end = key.find('\\', start);
        if (end == std::string::npos) end = key.size();
        if (end > start) parts.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

MemoryRegistry::Key* MemoryRegistry::find(RootKey root, const std::string& key) const {
    auto rootIt = roots_.find(root);
    auto parts = splitPath(key);
    if (rootIt == roots_.end() || !parts) return nullptr;
    Key* at = rootIt->second.get();
    for (const auto& part : *parts) {
        auto it = at->subkeys.find(part);
        if (it == at->subkeys.end()) return nullptr;
        at = it->second.get();
    }
    return at;
}

MemoryRegistry::Key* MemoryRegistry::create(RootKey root, const std::string& key) {
    auto rootIt = roots_.find(root);
    auto parts = splitPath(key);
    if (rootIt == roots_.end() || !parts) return nullptr;
    Key* at = rootIt->second.get();
    for (const auto& part : *parts) {
        auto& child = at->subkeys[part];
        if (!child) {
            child = std::make_unique<Key>();
            ++keysCreated;
        }
        at = child.get();
    }
    return at;
}

// A key refuses when a read-only key is among the first parts of its path:
// "SOFTWARE\\A" is not below "SOFTWARE\\AB", whatever the spelling.
bool MemoryRegistry::refusesWrites(const std::string& key) const {
    const auto parts = splitPath(key);
    if (!parts) return false;
    for (const auto& locked : readOnlyKeys) {
        const auto lockedParts = splitPath(locked);
        if (lockedParts && lockedParts->size() <= parts->size() &&
            std::equal(lockedParts->begin(), lockedParts->end(), parts->begin(), sameName))
            return true;
    }
    return false;
}

const MemoryRegistry::Key* MemoryRegistry::readable(RootKey root, const std::string& key) const {
    return unreadableKeys.count(key) ? nullptr : find(root, key);
}

std::optional<RegistryValue> MemoryRegistry::read(RootKey root, const std::string& key, const std::string& name) {
    ++reads;
    const Key* at = readable(root, key);
    if (!at) return std::nullopt;
    auto it = at->values.find(name);
    if (it == at->values.end()) return std::nullopt;
    return it->second;
}

MaybeFailure MemoryRegistry::write(RootKey root, const std::string& key, const std::vector<RegistryWrite>& values) {
    if (refusesWrites(key)) return kCreateDenied;
    const Failure full{"RegSetValueExW", "Not enough quota is available to process this command.", 1816};
    if (stillRefused_ > 0 && !values.empty()) {
        --stillRefused_;
        return full;
    }
    Key* at = create(root, key);
    if (!at) return Failure{"RegCreateKeyExW", "The parameter is incorrect.", 87};
    for (const RegistryWrite& w : values) {
        if (valuesBeforeFailure && (*valuesBeforeFailure)-- == 0) {
            valuesBeforeFailure.reset();
            stillRefused_ = std::exchange(writesRefused, 1) - 1;
            return full;
        }
        RegistryValue value;
        value.type = w.type;
        if (w.exact) {
            value.text = w.text;
            value.number = w.number;
        } else if (w.type == kRegDword) {
            value.number = w.number;
        } else if (w.type == kRegMultiSz) {
            for (const auto& entry : w.list) value.text += entry + '\0';
        } else {
            value.text = w.text + '\0';  // a text is written with its terminating NUL
        }
        at->values[w.name] = std::move(value);
        writeLog.push_back(key + "|" + w.name);
    }
    return std::nullopt;
}

MaybeFailure MemoryRegistry::createKey(RootKey root, const std::string& key) {
    if (refusesWrites(key)) return kCreateDenied;
    return create(root, key) ? MaybeFailure() : Failure{"RegCreateKeyExW", "The parameter is incorrect.", 87};
}

MaybeFailure MemoryRegistry::deleteKey(RootKey root, const std::string& key) {
    if (refusesWrites(key)) return kDeleteDenied;
    auto parts = splitPath(key);
    if (!parts || parts->empty()) return Failure{"RegDeleteKeyW", "The parameter is incorrect.", 87};
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) parentPath += (i ? "\\" : "") + (*parts)[i];
    Key* parent = find(root, parentPath);
    if (!parent) return std::nullopt;
    auto it = parent->subkeys.find(parts->back());
    if (it == parent->subkeys.end()) return std::nullopt;
    if (!it->second->subkeys.empty()) return kDeleteDenied;
    parent->subkeys.erase(it);
    return std::nullopt;
}

MaybeFailure MemoryRegistry::deleteValue(RootKey root, const std::string& key, const std::string& name) {
    if (refusesWrites(key)) return kOpenDenied;
    if (Key* at = find(root, key)) at->values.erase(name);
    return std::nullopt;
}

std::optional<KeyContents> MemoryRegistry::contents(RootKey root, const std::string& key) {
    ++reads;
    const Key* at = readable(root, key);
    if (!at) return std::nullopt;
    KeyContents contents;
    for (const auto& [name, value] : at->values) contents.valueNames.push_back(name);
    for (const auto& [name, child] : at->subkeys) contents.subkeyNames.push_back(name);
    return contents;
}

namespace {
std::string inView(const std::string& key, RegistryView view) {
    const std::string software = "SOFTWARE\\";
    if (view == RegistryView::Bits64 || !sameName(key.substr(0, software.size()), software)) return key;
    return software + "WOW6432Node\\" + key.substr(software.size());
}
}  // namespace

std::optional<std::string> MemoryRegistry::readTextInView(RootKey root, const std::string& key, const std::string& name,
                                                          RegistryView view) {
    const auto value = read(root, inView(key, view), name);
    if (!value || value->type != kRegSz) return std::nullopt;
    return std::string(value->text.c_str());
}

std::vector<std::string> MemoryRegistry::subkeysInView(RootKey root, const std::string& key, RegistryView view) {
    const auto found = contents(root, inView(key, view));
    return found ? found->subkeyNames : std::vector<std::string>();
}

std::optional<KeyValues> MemoryRegistry::readKeyInView(RootKey root, const std::string& key, RegistryView view) {
    ++reads;
    const Key* at = readable(root, inView(key, view));
    if (!at) return std::nullopt;
    KeyValues found;
    for (const auto& [name, value] : at->values) found.values.emplace_back(name, value);
    for (const auto& [name, child] : at->subkeys) found.subkeyNames.push_back(name);
    return found;
}

void MemoryRegistry::setRaw(RootKey root, const std::string& key, const std::string& name, RegistryValue value) {
    if (Key* at = create(root, key)) at->values[name] = std::move(value);
}

bool MemoryRegistry::keyExists(RootKey root, const std::string& key) const { return find(root, key) != nullptr; }

}  // namespace velmora
