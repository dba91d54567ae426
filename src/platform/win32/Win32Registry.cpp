#include "platform/win32/Win32Registry.h"

#include <cstring>
#include <iterator>

#include "platform/Text.h"
#include "platform/win32/Handles.h"
#include "platform/win32/SystemFailure.h"
#include "platform/win32/WideText.h"

namespace velmora {

namespace {

// Predefined roots are sign-extended handle values (HKEY_LOCAL_MACHINE is
// 0xFFFFFFFF80000002 in a 64-bit program).
HKEY rootHandle(RootKey root) { return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root))); }

REGSAM viewFlag(RegistryView view) { return view == RegistryView::Bits32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

RegistryKey openKey(RootKey root, const std::string& key, REGSAM access) {
    RegistryKey opened;
    if (RegOpenKeyExW(rootHandle(root), wide(key).c_str(), 0, access, opened.receive()) != ERROR_SUCCESS)
        opened.reset();
    return opened;
}

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

RegistryValue valueOf(DWORD type, const std::string& data) {
    RegistryValue value;
    value.type = type;
    if (isText(type)) {
        // Every whole UTF-16 unit; an odd last byte is no character.
        std::u16string units(data.size() / 2, u'\0');
        std::memcpy(units.data(), data.data(), units.size() * 2);
        value.text = fromUtf16(units);
    } else if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        std::memcpy(&value.number, data.data(), sizeof(DWORD));
    } else {
        value.text = data;
    }
    return value;
}

std::optional<RegistryValue> readValue(HKEY key, const std::wstring& name) {
    // Most values fit the first buffer; a longer one is read again at its
    // size, as often as it grows in between. The length the reading call
    // returns is the true one.
    std::string data(512, '\0');
    for (;;) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG status =
            RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size > data.size() ? size : data.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) return std::nullopt;
        data.resize(size < data.size() ? size : data.size());
        return valueOf(type, data);
    }
}

// The bytes the registry is to hold: texts as UTF-16 with their terminating
// NUL, as RegSetValueExW asks, a list as its entries each followed by one
// NUL, other types as given; an exact value's texts as UTF-16, nothing added.
std::string bytesOf(const RegistryWrite& value) {
    const auto utf16Bytes = [](const std::u16string& units) {
        return std::string(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    };
    // A DWORD read with other than four bytes came back as those bytes.
    if (value.exact && (isText(value.type) || !value.text.empty()))
        return isText(value.type) ? utf16Bytes(toUtf16(value.text)) : value.text;
    if (value.type == kRegDword) return std::string(reinterpret_cast<const char*>(&value.number), sizeof value.number);
    if (value.type == kRegMultiSz) {
        std::u16string units;
        for (const auto& entry : value.list) units += toUtf16(entry) + u'\0';
        return utf16Bytes(units);
    }
    if (value.type == kRegSz || value.type == kRegExpandSz) return utf16Bytes(toUtf16(value.text) + u'\0');
    return value.text;
}

// RegSetValueExW takes a NUL that directly follows a text in memory for part
// of it, on Windows and Wine alike; a unit that is not NUL after the bytes
// keeps them as they are.
LONG setValue(HKEY key, const RegistryWrite& value) {
    const std::string bytes = bytesOf(value);
    std::u16string guarded(bytes.size() / 2 + 2, u'\xFFFF');
    std::memcpy(guarded.data(), bytes.data(), bytes.size());
    return RegSetValueExW(key, wide(value.name).c_str(), 0, value.type, reinterpret_cast<const BYTE*>(guarded.data()),
                          static_cast<DWORD>(bytes.size()));
}

std::vector<std::string> subkeysOf(HKEY key) {
    std::vector<std::string> names;
    wchar_t name[256];  // key names are at most 255 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(narrow(std::wstring(name, length)));
    }
    return names;
}

std::vector<std::string> valueNamesOf(HKEY key) {
    std::vector<std::string> names;
    std::wstring name(16384, L'\0');  // value names are at most 16383 characters
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(narrow(name.substr(0, length)));
    }
    return names;
}

bool namesNoKey(const std::string& key) { return key.find_first_not_of('\\') == std::string::npos; }

}  // namespace

Win32Registry::Win32Registry(RegistryView view) : view_(viewFlag(view)) {}

std::optional<RegistryValue> Win32Registry::read(RootKey root, const std::string& key, const std::string& name) {
    const RegistryKey opened = openKey(root, key, KEY_QUERY_VALUE | view_);
    return opened ? readValue(opened.get(), wide(name)) : std::nullopt;
}

std::vector<std::optional<RegistryValue>> Win32Registry::readMany(RootKey root, const std::string& key,
                                                                  const std::vector<std::string>& names) {
    const RegistryKey opened = openKey(root, key, KEY_QUERY_VALUE | view_);
    std::vector<std::optional<RegistryValue>> values;
    values.reserve(names.size());
    for (const auto& name : names) values.push_back(opened ? readValue(opened.get(), wide(name)) : std::nullopt);
    return values;
}

MaybeFailure Win32Registry::write(RootKey root, const std::string& key, const std::vector<RegistryWrite>& values) {
    RegistryKey created;
    const LONG status = RegCreateKeyExW(rootHandle(root), wide(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_SET_VALUE | KEY_QUERY_VALUE | view_, nullptr, created.receive(), nullptr);
    if (status != ERROR_SUCCESS) return systemFailure("RegCreateKeyExW", static_cast<DWORD>(status));
    for (const RegistryWrite& value : values) {
        const LONG written = setValue(created.get(), value);
        if (written != ERROR_SUCCESS) return systemFailure("RegSetValueExW", static_cast<DWORD>(written));
    }
    return std::nullopt;
}

MaybeFailure Win32Registry::createKey(RootKey root, const std::string& key) { return write(root, key, {}); }

MaybeFailure Win32Registry::deleteKey(RootKey root, const std::string& key) {
    // An empty path would name the root itself.
    if (namesNoKey(key)) return systemFailure("RegDeleteKeyW", ERROR_INVALID_PARAMETER);
    const LONG status = RegDeleteKeyW(rootHandle(root), wide(key).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return systemFailure("RegDeleteKeyW", static_cast<DWORD>(status));
}

MaybeFailure Win32Registry::deleteValue(RootKey root, const std::string& key, const std::string& name) {
    RegistryKey opened;
    LONG status = RegOpenKeyExW(rootHandle(root), wide(key).c_str(), 0, KEY_SET_VALUE | view_, opened.receive());
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) return systemFailure("RegOpenKeyExW", static_cast<DWORD>(status));
    status = RegDeleteValueW(opened.get(), wide(name).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return systemFailure("RegDeleteValueW", static_cast<DWORD>(status));
}

std::optional<KeyContents> Win32Registry::contents(RootKey root, const std::string& key) {
    const RegistryKey opened = openKey(root, key, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | view_);
    if (!opened) return std::nullopt;
    return KeyContents{valueNamesOf(opened.get()), subkeysOf(opened.get())};
}

std::optional<std::string> Win32Registry::readTextInView(RootKey root, const std::string& key, const std::string& name,
                                                         RegistryView view) {
    const RegistryKey opened = openKey(root, key, KEY_QUERY_VALUE | viewFlag(view));
    const auto value = opened ? readValue(opened.get(), wide(name)) : std::nullopt;
    if (!value || value->type != REG_SZ) return std::nullopt;
    return value->text.substr(0, value->text.find('\0'));
}

std::vector<std::string> Win32Registry::subkeysInView(RootKey root, const std::string& key, RegistryView view) {
    const RegistryKey opened = openKey(root, key, KEY_ENUMERATE_SUB_KEYS | viewFlag(view));
    return opened ? subkeysOf(opened.get()) : std::vector<std::string>();
}

std::optional<KeyValues> Win32Registry::readKeyInView(RootKey root, const std::string& key, RegistryView view) {
    const RegistryKey opened = openKey(root, key, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | viewFlag(view));
    if (!opened) return std::nullopt;
    KeyValues found;
    for (const auto& name : valueNamesOf(opened.get()))
        if (auto value = readValue(opened.get(), wide(name))) found.values.emplace_back(name, std::move(*value));
    found.subkeyNames = subkeysOf(opened.get());
    return found;
}

}  // namespace velmora
