#include "platform/Registry.h"

namespace velmora {

RegistryWrite RegistryWrite::textValue(std::string name, std::string text) {
    RegistryWrite w;
    w.name = std::move(name);
    w.type = kRegSz;
    w.text = std::move(text);
    return w;
}

RegistryWrite RegistryWrite::numberValue(std::string name, std::uint32_t number) {
    RegistryWrite w;
    w.name = std::move(name);
    w.type = kRegDword;
    w.number = number;
    return w;
}

RegistryWrite RegistryWrite::exactValue(std::string name, const RegistryValue& value) {
    RegistryWrite w;
    w.name = std::move(name);
    w.type = value.type;
    w.text = value.text;
    w.number = value.number;
    w.exact = true;
    return w;
}

RegistryWrite RegistryWrite::listValue(std::string name, std::vector<std::string> entries) {
    RegistryWrite w;
    w.name = std::move(name);
    w.type = kRegMultiSz;
    w.list = std::move(entries);
    return w;
}

std::vector<std::optional<RegistryValue>> Registry::readMany(RootKey root, const std::string& key,
                                                             const std::vector<std::string>& names) {
    std::vector<std::optional<RegistryValue>> values;
    values.reserve(names.size());
    for (const auto& name : names) values.push_back(read(root, key, name));
    return values;
}

}  // namespace velmora
