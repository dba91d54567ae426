#pragma once

namespace velmora {

// A view of `page` pixels over `content` pixels, its top at `offset` within the content.

// Where the view's top may stand: from 0 to the last page.
int clampedOffset(int offset, int page, int content);
// The offset that brings the span from top to bottom (content pixels) into view, moving as little as it
// can; a span taller than the view shows its top.
int offsetRevealing(int offset, int page, int content, int top, int bottom);

}  // namespace velmora
