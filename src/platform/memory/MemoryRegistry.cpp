#include "platform/memory/MemoryRegistry.h"

#include <cstring>

namespace velmora {

MemoryRegistry::MemoryRegistry() { roots_[HKEY_LOCAL_MACHINE_ROOT] = std::make_unique<Key>(); }

// As in the registry, runs of "\" count as one and trailing ones name the key
// itself; only a leading "\" makes the path invalid.
std::optional<std::vector<std::string>> MemoryRegistry::splitPath(const std::string& subkey) {
    if (!subkey.empty() && subkey.front() == '\\') return std::nullopt;
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start < subkey.size()) {
        auto end = subkey.find('\\', start);
        if (end == std::string::npos) end = subkey.size();
        if (end > start) parts.push_back(subkey.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

MemoryRegistry::Key* MemoryRegistry::find(RootKey root, const std::string& subkey) const {
    auto rootIt = roots_.find(root);
    auto parts = splitPath(subkey);
    if (rootIt == roots_.end() || !parts) return nullptr;
    Key* key = rootIt->second.get();
    for (const auto& part : *parts) {
        auto it = key->subkeys.find(part);
        if (it == key->subkeys.end()) return nullptr;
        key = it->second.get();
    }
    return key;
}

MemoryRegistry::Key* MemoryRegistry::create(RootKey root, const std::string& subkey) {
    auto rootIt = roots_.find(root);
    auto parts = splitPath(subkey);
    if (rootIt == roots_.end() || !parts) return nullptr;
    Key* key = rootIt->second.get();
    for (const auto& part : *parts) {
        auto& child = key->subkeys[part];
        if (!child) child = std::make_unique<Key>();
        key = child.get();
    }
    return key;
}

void MemoryRegistry::setValue(RootKey root, const std::string& subkey, const std::string& name,
                              std::uint32_t type, const std::string& data) {
    writes_.push_back(subkey + "|" + name);
    if (Key* key = create(root, subkey)) key->values[name] = Value{type, data};
}

void MemoryRegistry::createKey(RootKey root, const std::string& subkey) {
    create(root, subkey);
}

std::optional<std::string> MemoryRegistry::queryStringValue(RootKey root, const std::string& subkey,
                                                            const std::string& name) {
    const Key* key = find(root, subkey);
    if (!key) return std::nullopt;
    auto it = key->values.find(name);
    if (it == key->values.end()) return std::nullopt;
    const Value& value = it->second;
    if (value.type == kRegSz) return std::string(value.data.c_str());
    return value.data;
}

void MemoryRegistry::setMultiStringValue(RootKey root, const std::string& subkey, const std::string& name,
                                         const std::string& data) {
    // RegSetValueExA ends string data that the caller left open with a NUL.
    if (!data.empty() && data.back() != '\0') return setValue(root, subkey, name, kRegMultiSz, data + '\0');
    setValue(root, subkey, name, kRegMultiSz, data);
}

void MemoryRegistry::setStringValue(RootKey root, const std::string& subkey, const std::string& name,
                                    const std::string& text) {
    setValue(root, subkey, name, kRegSz, text);
}

std::int32_t MemoryRegistry::queryDwordValue(RootKey root, const std::string& subkey, const std::string& name) {
    const Key* key = find(root, subkey);
    if (!key) return 0;
    auto it = key->values.find(name);
    if (it == key->values.end() || it->second.type != kRegDword || it->second.data.size() > 4) return 0;
    std::uint32_t bits = 0;
    std::memcpy(&bits, it->second.data.data(), it->second.data.size());
    return static_cast<std::int32_t>(bits);
}

void MemoryRegistry::setDwordValue(RootKey root, const std::string& subkey, const std::string& name,
                                   std::int32_t value) {
    std::string data(4, '\0');
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    setValue(root, subkey, name, kRegDword, data);
}

void MemoryRegistry::deleteKey(RootKey root, const std::string& subkey) {
    auto parts = splitPath(subkey);
    if (!parts || parts->empty()) return;
    const std::string leaf = parts->back();
    std::string parentPath;
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) parentPath += (i ? "\\" : "") + (*parts)[i];
    Key* parent = find(root, parentPath);
    if (!parent) return;
    auto it = parent->subkeys.find(leaf);
    if (it == parent->subkeys.end() || !it->second->subkeys.empty()) return;
    parent->subkeys.erase(it);
}

namespace {
std::string inView(const std::string& subkey, RegistryView view) {
    const std::string software = "SOFTWARE\\";
    const std::string start = subkey.substr(0, software.size());
    const bool underSoftware = !NoCaseLess()(start, software) && !NoCaseLess()(software, start);
    if (view == RegistryView::Bits64 || !underSoftware) return subkey;
    return software + "WOW6432Node\\" + subkey.substr(software.size());
}
}  // namespace

std::optional<std::string> MemoryRegistry::queryStringValueInView(RootKey root, const std::string& subkey,
                                                                  const std::string& name, RegistryView view) {
    const auto value = rawValue(root, inView(subkey, view), name);
    if (!value || value->type != kRegSz) return std::nullopt;
    return std::string(value->data.c_str());
}

std::vector<std::string> MemoryRegistry::subkeyNamesInView(RootKey root, const std::string& subkey,
                                                           RegistryView view) {
    const auto contents = keyContents(root, inView(subkey, view));
    return contents ? contents->subkeyNames : std::vector<std::string>();
}

void MemoryRegistry::setRawValue(RootKey root, const std::string& subkey, const std::string& name,
                                 std::uint32_t type, const std::string& data) {
    if (Key* key = create(root, subkey)) key->values[name] = Value{type, data};
}

std::optional<MemoryRegistry::Value> MemoryRegistry::rawValue(RootKey root, const std::string& subkey,
                                                              const std::string& name) const {
    const Key* key = find(root, subkey);
    if (!key) return std::nullopt;
    auto it = key->values.find(name);
    if (it == key->values.end()) return std::nullopt;
    return it->second;
}

bool MemoryRegistry::keyExists(RootKey root, const std::string& subkey) const {
    return find(root, subkey) != nullptr;
}

std::optional<Registry::KeyContents> MemoryRegistry::keyContents(RootKey root, const std::string& subkey) {
    const Key* key = find(root, subkey);
    if (!key) return std::nullopt;
    KeyContents contents;
    for (const auto& [name, value] : key->values) contents.valueNames.push_back(name);
    for (const auto& [name, child] : key->subkeys) contents.subkeyNames.push_back(name);
    return contents;
}

}  // namespace velmora
