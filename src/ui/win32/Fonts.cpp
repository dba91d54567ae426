#include "ui/win32/Fonts.h"

namespace velmora {

HFONT createPointFont(const PointFont& font, UINT dpi) {
    const int height = -MulDiv(font.hundredthsOfPoint, static_cast<int>(dpi), 7200);
    return CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, font.pitchAndFamily, font.face);
}

}  // namespace velmora
