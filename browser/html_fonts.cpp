#include "browser/html_fonts.h"

#include <algorithm>

namespace html {

int FontCache::Index(const FontKey& key) {
  auto it = index_.find(key);
  if (it != index_.end()) return it->second;
  Entry e;
  e.key = key;
  e.metrics = measurer_.Metrics(key);
  e.metrics.ascent = std::max(e.metrics.ascent, 1);
  e.metrics.descent = std::max(e.metrics.descent, 0);
  e.metrics.lineHeight = std::max(e.metrics.lineHeight, e.metrics.ascent + e.metrics.descent);
  e.pages.resize(0x10000 >> kPageBits);
  fonts_.push_back(std::move(e));
  int index = static_cast<int>(fonts_.size() - 1);
  index_.emplace(key, index);
  return index;
}

int FontCache::Advance(int font, char32_t cp) {
  Entry& e = fonts_[font];
  if (cp >= 0x10000) {
    auto it = e.supplementary.find(cp);
    if (it != e.supplementary.end()) return it->second;
    int w = std::max(0, measurer_.Advance(e.key, cp));
    e.supplementary.emplace(cp, w);
    return w;
  }
  auto& page = e.pages[cp >> kPageBits];
  if (!page) {
    page = std::make_unique<std::array<int32_t, 1 << kPageBits>>();
    page->fill(-1);
  }
  int32_t& slot = (*page)[cp & ((1 << kPageBits) - 1)];
  if (slot < 0) slot = std::max(0, measurer_.Advance(e.key, cp));
  return slot;
}

}  // namespace html
