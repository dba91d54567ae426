#include "ui/ScrollView.h"

#include <algorithm>

namespace velmora {

int clampedOffset(int offset, int page, int content) { return std::clamp(offset, 0, std::max(0, content - page)); }

int offsetRevealing(int offset, int page, int content, int top, int bottom) {
    if (top < offset || bottom - top > page) return clampedOffset(top, page, content);
    if (bottom > offset + page) return clampedOffset(bottom - page, page, content);
    return clampedOffset(offset, page, content);
}

}  // namespace velmora
