#include "platform/win32/Win32Registry.h"

#include <algorithm>

#include "platform/win32/RootKeyHandle.h"

// Return codes are ignored throughout: a failed read looks like a missing
// value and a failed write is lost, which is what every caller expects.

namespace velmora {
namespace {

BYTE* bytes(std::string& buffer) { return reinterpret_cast<BYTE*>(buffer.data()); }

const BYTE* bytes(const std::string& text) { return reinterpret_cast<const BYTE*>(text.data()); }

void setValue(RootKey root, const std::string& subkey, const std::string& name, DWORD type, const BYTE* data,
              DWORD length) {
    HKEY key = nullptr;
    RegCreateKeyA(rootKeyHandle(root), subkey.c_str(), &key);
    RegSetValueExA(key, name.c_str(), 0, type, data, length);
    RegCloseKey(key);
}

// Key names are at most 255 characters.
std::vector<std::string> subkeyNamesOf(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace

void Win32Registry::createKey(RootKey root, const std::string& subkey) {
    HKEY key = nullptr;
    RegCreateKeyA(rootKeyHandle(root), subkey.c_str(), &key);
    RegCloseKey(key);
}

std::optional<std::string> Win32Registry::queryStringValue(RootKey root, const std::string& subkey,
                                                           const std::string& name) {
    HKEY key = nullptr;
    RegOpenKeyA(rootKeyHandle(root), subkey.c_str(), &key);

    DWORD type = 0;
    DWORD size = 0;
    RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);

    const bool isText = type == REG_SZ;
    std::string buffer(size, ' ');
    DWORD length = size;
    type = 0;
    const LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes(buffer), &length);
    RegCloseKey(key);

    if (status != ERROR_SUCCESS) return std::nullopt;
    // The size asked for first may be more than the read hands back (Wine
    // counts a NUL, Windows may count the text as wide characters).
    if (length < buffer.size()) buffer.resize(length);
    if (!isText) return buffer;
    return buffer.substr(0, buffer.find('\0'));
}

void Win32Registry::setMultiStringValue(RootKey root, const std::string& subkey, const std::string& name,
                                        const std::string& data) {
    setValue(root, subkey, name, REG_MULTI_SZ, bytes(data), static_cast<DWORD>(data.size()));
}

void Win32Registry::setStringValue(RootKey root, const std::string& subkey, const std::string& name,
                                   const std::string& text) {
    setValue(root, subkey, name, REG_SZ, bytes(text), static_cast<DWORD>(text.size()));
}

std::int32_t Win32Registry::queryDwordValue(RootKey root, const std::string& subkey, const std::string& name) {
    HKEY key = nullptr;
    RegOpenKeyA(rootKeyHandle(root), subkey.c_str(), &key);
    DWORD value = 0;
    DWORD type = 0;
    DWORD length = sizeof value;
    const LONG status =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &length);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD) return 0;
    return static_cast<std::int32_t>(value);
}

void Win32Registry::setDwordValue(RootKey root, const std::string& subkey, const std::string& name,
                                  std::int32_t value) {
    const auto data = static_cast<DWORD>(value);
    setValue(root, subkey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void Win32Registry::deleteKey(RootKey root, const std::string& subkey) {
    RegDeleteKeyA(rootKeyHandle(root), subkey.c_str());
}

std::optional<Registry::KeyContents> Win32Registry::keyContents(RootKey root, const std::string& subkey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKeyHandle(root), subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    KeyContents contents;
    // Value names are at most 16383 characters.
    std::string name(16384, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        contents.valueNames.push_back(name.substr(0, length));
    }
    contents.subkeyNames = subkeyNamesOf(key);
    RegCloseKey(key);
    return contents;
}

// Many values through one handle, read and written as the single calls do.

std::vector<std::optional<std::string>> Win32Registry::queryStringValues(RootKey root, const std::string& subkey,
                                                                         const std::vector<std::string>& names) {
    HKEY key = nullptr;
    const bool open = RegOpenKeyA(rootKeyHandle(root), subkey.c_str(), &key) == ERROR_SUCCESS;
    std::vector<std::optional<std::string>> values;
    for (const auto& name : names) {
        if (!open) {
            values.emplace_back();
            continue;
        }
        // Most values fit at the first try; a longer one is read again at its size.
        DWORD type = 0;
        std::string buffer(512, ' ');
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes(buffer), &length);
        if (status == ERROR_MORE_DATA) {
            buffer.assign(length, ' ');
            status = RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes(buffer), &length);
        }
        if (status != ERROR_SUCCESS) {
            values.emplace_back();
            continue;
        }
        buffer.resize(std::min<std::size_t>(length, buffer.size()));
        values.emplace_back(type == REG_SZ ? buffer.substr(0, buffer.find('\0')) : buffer);
    }
    if (open) RegCloseKey(key);
    return values;
}

std::vector<std::int32_t> Win32Registry::queryDwordValues(RootKey root, const std::string& subkey,
                                                          const std::vector<std::string>& names) {
    HKEY key = nullptr;
    const bool open = RegOpenKeyA(rootKeyHandle(root), subkey.c_str(), &key) == ERROR_SUCCESS;
    std::vector<std::int32_t> values;
    for (const auto& name : names) {
        DWORD value = 0;
        DWORD type = 0;
        DWORD length = sizeof value;
        const LONG status =
            open ? RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &length)
                 : ERROR_FILE_NOT_FOUND;
        values.push_back(status == ERROR_SUCCESS && type == REG_DWORD ? static_cast<std::int32_t>(value) : 0);
    }
    if (open) RegCloseKey(key);
    return values;
}

void Win32Registry::setValues(RootKey root, const std::string& subkey, const std::vector<Write>& writes) {
    HKEY key = nullptr;
    RegCreateKeyA(rootKeyHandle(root), subkey.c_str(), &key);
    for (const auto& w : writes) {
        const auto number = static_cast<DWORD>(w.number);
        if (w.type == kRegDword)
            RegSetValueExA(key, w.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        else
            RegSetValueExA(key, w.name.c_str(), 0, w.type == kRegMultiSz ? REG_MULTI_SZ : REG_SZ, bytes(w.data),
                           static_cast<DWORD>(w.data.size()));
    }
    RegCloseKey(key);
}

namespace {
HKEY openInView(RootKey root, const std::string& subkey, RegistryView view) {
    const REGSAM viewFlag = view == RegistryView::Bits32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootKeyHandle(root), subkey.c_str(), 0, KEY_READ | viewFlag, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}
}  // namespace

std::optional<std::string> Win32Registry::queryStringValueInView(RootKey root, const std::string& subkey,
                                                                 const std::string& name, RegistryView view) {
    HKEY key = openInView(root, subkey, view);
    if (!key) return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::optional<std::string> text;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::string buffer(size, '\0');
        DWORD length = size;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, bytes(buffer), &length) == ERROR_SUCCESS)
            text = buffer.substr(0, std::min<std::size_t>(length, buffer.size())).c_str();
    }
    RegCloseKey(key);
    return text;
}

std::vector<std::string> Win32Registry::subkeyNamesInView(RootKey root, const std::string& subkey,
                                                          RegistryView view) {
    HKEY key = openInView(root, subkey, view);
    if (!key) return {};
    std::vector<std::string> names = subkeyNamesOf(key);
    RegCloseKey(key);
    return names;
}

}  // namespace velmora
