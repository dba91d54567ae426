#pragma once
#include <windows.h>

namespace velmora {

// A face and size in hundredths of a point (825 for 8.25 pt). The pitch and
// family pick a look-alike where the face is missing.
struct PointFont {
    const wchar_t* face;
    int hundredthsOfPoint;
    bool bold;
    BYTE pitchAndFamily;
};

// That font at a DPI.
HFONT createPointFont(const PointFont& font, UINT dpi);

// Owns one font handle.
class FontHandle {
public:
    FontHandle() = default;
    explicit FontHandle(HFONT font) : font_(font) {}
    ~FontHandle() {
        if (font_) DeleteObject(font_);
    }
    FontHandle(const FontHandle&) = delete;
    FontHandle& operator=(const FontHandle&) = delete;
    FontHandle& operator=(FontHandle&& other) noexcept;
    HFONT get() const { return font_; }

private:
    HFONT font_ = nullptr;
};

}  // namespace velmora
