// Lays out a page at a given width into a list of painted items (fills, frames, text runs), in
// one pass over the boxes after one bottom-up pass of their least and preferred widths, so the
// time grows linearly with the page.
#pragma once

#include <cstdint>
#include <vector>

#include "browser/html_boxes.h"
#include "browser/html_fonts.h"

namespace html {

struct Rect {
  int32_t x = 0, y = 0, w = 0, h = 0;
};

struct PaintItem {
  enum Kind : uint8_t { kFill, kFrame, kText, kMarker } kind = kFill;
  int32_t x = 0, y = 0, w = 0, h = 0;  // text: its part of the line box
  int32_t baseline = 0;                // text and markers
  Color color = 0;
  int32_t font = 0;                    // text and markers: FontCache index
  int32_t frameWidth = 0;              // frames
  uint32_t start = 0, end = 0;         // text: stretch of BoxTree::text; markers: of BoxTree::markers
  int32_t link = -1;
};

struct PageLayout {
  std::vector<PaintItem> items;  // in painting order
  int32_t width = 0, height = 0;
  Color background = 0xFFFFFF;

  // Items that may reach into rows [top, bottom), in painting order.
  void ItemsIn(int32_t top, int32_t bottom, std::vector<uint32_t>& out) const;
  int32_t BucketCount() const { return static_cast<int32_t>(bucketStart_.size()) - 1; }
  void BuildIndex();

  static constexpr int32_t kBucketHeight = 256;
  std::vector<uint32_t> bucketStart_;  // items of bucket b: bucketItems_[bucketStart_[b] .. bucketStart_[b+1])
  std::vector<uint32_t> bucketItems_;
};

PageLayout LayOutPage(const BoxTree& tree, FontCache& fonts, int32_t width);

// Advance of a character as laid out: zero for the invisible ones (soft hyphen, zero-width space,
// controls); tabs are measured by the layout itself.
int32_t LayoutAdvance(FontCache& fonts, int32_t font, char32_t cp);

}  // namespace html
