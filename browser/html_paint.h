// Paints a laid-out page through a small platform interface, and maps points back to text offsets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "browser/html_layout.h"

namespace html {

class Painter {
 public:
  virtual ~Painter() = default;
  virtual void Fill(const Rect& r, Color color) = 0;
  // Draws `count` UTF-16 units with their left edge at x and the baseline at `baseline`; the
  // advances (one per unit, 0 for the second half of a pair) place each character as laid out.
  virtual void DrawText(int32_t x, int32_t baseline, int32_t font, Color color, const char16_t* text,
                        size_t count, const int32_t* advances) = 0;
};

struct Selection {
  uint32_t start = 0, end = 0;  // a stretch of BoxTree::text; empty when start == end
  Color background = 0x3399FF;
  Color color = 0xFFFFFF;
};

// Paints the items that meet `visible` (page coordinates), moved by (dx, dy) onto the surface.
void PaintPage(const PageLayout& layout, const BoxTree& tree, FontCache& fonts, Painter& painter,
               const Rect& visible, int32_t dx, int32_t dy, const Selection& selection);

struct Hit {
  uint32_t offset = 0;  // the nearest text offset (a caret position)
  int32_t link = -1;    // the link under the point, if any
  bool onText = false;  // the point is on a text run
};
Hit HitTest(const PageLayout& layout, const BoxTree& tree, FontCache& fonts, int32_t x, int32_t y);

// The top of the first line showing text at or after `offset` (for in-page anchors), or -1.
int32_t OffsetTop(const PageLayout& layout, uint32_t offset);

// Word around an offset for double clicks: letters and digits, or one CJK character.
void WordAt(const BoxTree& tree, uint32_t offset, uint32_t& start, uint32_t& end);

}  // namespace html
