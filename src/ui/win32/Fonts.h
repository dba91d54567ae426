#pragma once
#include <windows.h>

namespace velmora {

// A font of the given face and size in hundredths of a point (825 for 8.25 pt)
// at a DPI. The pitch and family pick a look-alike where the face is missing.
HFONT createPointFont(const char* face, int hundredthsOfPoint, bool bold, BYTE pitchAndFamily, UINT dpi);

// Owns one font handle.
class FontHandle {
public:
    FontHandle() = default;
    explicit FontHandle(HFONT font) : font_(font) {}
    ~FontHandle() { if (font_) DeleteObject(font_); }
    FontHandle(const FontHandle&) = delete;
    FontHandle& operator=(const FontHandle&) = delete;
    FontHandle& operator=(FontHandle&& other) noexcept;
    HFONT get() const { return font_; }

private:
    HFONT font_ = nullptr;
};

}  // namespace velmora
