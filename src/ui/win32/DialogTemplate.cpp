#include "ui/win32/DialogTemplate.h"

#include <cstdint>

namespace velmora {

namespace {

// Walks the template's words: names and ordinals, texts, and DWORD-aligned items.
class TemplateReader {
public:
    explicit TemplateReader(const void* start) : at_(static_cast<const WORD*>(start)) {}

    WORD word() { return *at_++; }
    DWORD dword() {
        const DWORD low = word();
        return low | (static_cast<DWORD>(word()) << 16);
    }
    short coordinate() { return static_cast<short>(word()); }
    const wchar_t* text() {
        const auto* start = reinterpret_cast<const wchar_t*>(at_);
        while (*at_) ++at_;
        ++at_;
        return start;
    }
    // Empty, an ordinal (0xFFFF and a number), or a name.
    const wchar_t* nameOrOrdinal() {
        if (*at_ == 0) {
            ++at_;
            return nullptr;
        }
        if (*at_ == 0xFFFF) {
            ++at_;
            return MAKEINTRESOURCEW(word());
        }
        return text();
    }
    // An item's text may be an ordinal, which the control takes as it stands.
    const wchar_t* itemText() {
        const auto* start = reinterpret_cast<const wchar_t*>(at_);
        if (*at_ == 0xFFFF) {
            at_ += 2;
            return start;
        }
        return text();
    }
    void skip(WORD bytes) { at_ += (bytes + 1) / 2; }
    void alignToDword() {
        if (reinterpret_cast<std::uintptr_t>(at_) % 4) ++at_;
    }

private:
    const WORD* at_;
};

const wchar_t* predefinedClass(const wchar_t* windowClass) {
    if (!IS_INTRESOURCE(windowClass)) return windowClass;
    switch (reinterpret_cast<std::uintptr_t>(windowClass)) {
        case 0x80: return L"Button";
        case 0x81: return L"Edit";
        case 0x82: return L"Static";
        case 0x83: return L"ListBox";
        case 0x84: return L"ScrollBar";
        case 0x85: return L"ComboBox";
    }
    return windowClass;
}

}  // namespace

std::optional<DialogTemplate> loadDialogTemplate(HINSTANCE instance, int id) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* start = loaded ? LockResource(loaded) : nullptr;
    if (!start) return std::nullopt;
    TemplateReader read(start);
    if (read.word() != 1 || read.word() != 0xFFFF) return std::nullopt;  // DIALOGEX only
    DialogTemplate dialog{};
    read.dword();  // help ID
    dialog.exStyle = read.dword();
    dialog.style = read.dword();
    const WORD count = read.word();
    read.coordinate();  // the place: the window is centred or placed by its code
    read.coordinate();
    dialog.units.cx = read.coordinate();
    dialog.units.cy = read.coordinate();
    dialog.menu = read.nameOrOrdinal();
    read.nameOrOrdinal();  // the window class: the caller's own
    dialog.title = read.text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = read.word();
        dialog.weight = read.word();
        const WORD italicAndCharset = read.word();
        dialog.italic = (italicAndCharset & 0xFF) != 0;
        dialog.charset = static_cast<BYTE>(italicAndCharset >> 8);
        dialog.face = read.text();
    }
    for (WORD i = 0; i < count; ++i) {
        read.alignToDword();
        TemplateControl control{};
        read.dword();  // help ID
        control.exStyle = read.dword();
        control.style = read.dword();
        control.units.left = read.coordinate();
        control.units.top = read.coordinate();
        control.units.right = control.units.left + read.coordinate();
        control.units.bottom = control.units.top + read.coordinate();
        control.id = read.dword();
        control.windowClass = predefinedClass(read.nameOrOrdinal());
        control.text = read.itemText();
        read.skip(read.word());  // creation data: none of our controls takes any
        dialog.controls.push_back(control);
    }
    return dialog;
}

}  // namespace velmora
