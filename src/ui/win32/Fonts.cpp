#include "ui/win32/Fonts.h"

#include <utility>

namespace velmora {

HFONT createPointFont(const PointFont& font, UINT dpi) {
    const int height = -MulDiv(font.hundredthsOfPoint, static_cast<int>(dpi), 7200);
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, font.pitchAndFamily, font.face);
}

FontHandle& FontHandle::operator=(FontHandle&& other) noexcept {
    if (this != &other) {
        if (font_) DeleteObject(font_);
        font_ = std::exchange(other.font_, nullptr);
    }
    return *this;
}

}  // namespace velmora
