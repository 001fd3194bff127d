#include "browser/html_paint.h"

#include <algorithm>
#include <climits>

#include "browser/html_chars.h"

namespace html {
namespace {

// Advances per UTF-16 unit of a run, as the layout placed them.
void RunAdvances(const PaintItem& it, const std::u16string& text, FontCache& fonts, std::vector<int32_t>& out) {
  out.assign(it.end - it.start, 0);
  if (it.end - it.start == 1 && text[it.start] == '\t') {
    out[0] = it.w;
    return;
  }
  size_t units = 1;
  for (uint32_t p = it.start; p < it.end; p += static_cast<uint32_t>(units)) {
    out[p - it.start] = LayoutAdvance(fonts, it.font, CodePointAt(text, p, &units));
  }
}

void Frame(Painter& painter, const Rect& r, int32_t w, Color c) {
  w = std::min({w, (r.w + 1) / 2, (r.h + 1) / 2});
  if (w <= 0) return;
  painter.Fill({r.x, r.y, r.w, w}, c);
  painter.Fill({r.x, r.y + r.h - w, r.w, w}, c);
  painter.Fill({r.x, r.y + w, w, r.h - 2 * w}, c);
  painter.Fill({r.x + r.w - w, r.y + w, w, r.h - 2 * w}, c);
}

}  // namespace

void PaintPage(const PageLayout& layout, const BoxTree& tree, FontCache& fonts, Painter& painter,
               const Rect& visible, int32_t dx, int32_t dy, const Selection& selection) {
  std::vector<uint32_t> items;
  layout.ItemsIn(visible.y, visible.y + visible.h, items);
  std::vector<int32_t> advances;
  for (uint32_t index : items) {
    const PaintItem& it = layout.items[index];
    if (it.x >= visible.x + visible.w || it.x + it.w < visible.x) continue;
    Rect r{it.x + dx, it.y + dy, it.w, it.h};
    switch (it.kind) {
      case PaintItem::kFill:
        painter.Fill(r, it.color);
        break;
      case PaintItem::kFrame:
        Frame(painter, r, it.frameWidth, it.color);
        break;
      case PaintItem::kMarker: {
        std::vector<int32_t> adv(it.end - it.start, 0);
        size_t units = 1;
        for (uint32_t p = it.start; p < it.end; p += static_cast<uint32_t>(units)) {
          adv[p - it.start] = LayoutAdvance(fonts, it.font, CodePointAt(tree.markers, p, &units));
        }
        painter.DrawText(r.x, it.baseline + dy, it.font, it.color, tree.markers.data() + it.start,
                         it.end - it.start, adv.data());
        break;
      }
      case PaintItem::kText: {
        RunAdvances(it, tree.text, fonts, advances);
        uint32_t s0 = std::clamp(selection.start, it.start, it.end);
        uint32_t s1 = std::clamp(selection.end, it.start, it.end);
        int32_t x = r.x;
        auto draw = [&](uint32_t from, uint32_t to, Color color, bool selected) {
          int32_t w = 0;
          for (uint32_t p = from; p < to; ++p) w += advances[p - it.start];
          if (selected) painter.Fill({x, r.y, w, r.h}, selection.background);
          bool tab = to - from == 1 && tree.text[from] == '\t';
          if (to > from && !tab) {
            painter.DrawText(x, it.baseline + dy, it.font, color, tree.text.data() + from, to - from,
                             advances.data() + (from - it.start));
          }
          x += w;
        };
        draw(it.start, s0, it.color, false);
        if (s1 > s0) draw(s0, s1, selection.color, true);
        draw(s1, it.end, it.color, false);
        break;
      }
    }
  }
}

Hit HitTest(const PageLayout& layout, const BoxTree& tree, FontCache& fonts, int32_t x, int32_t y) {
  Hit hit;
  const PaintItem* best = nullptr;
  int64_t bestScore = INT64_MAX;
  auto consider = [&](uint32_t index) {
    const PaintItem& it = layout.items[index];
    if (it.kind != PaintItem::kText) return;
    int64_t vy = y < it.y ? it.y - y : (y >= it.y + it.h ? y - (it.y + it.h) + 1 : 0);
    int64_t vx = x < it.x ? it.x - x : (x >= it.x + it.w ? x - (it.x + it.w) + 1 : 0);
    int64_t score = vy * (1LL << 32) + vx;
    if (score < bestScore || (score == bestScore && best && it.start < best->start)) {
      bestScore = score;
      best = &it;
    }
  };
  int32_t buckets = layout.BucketCount();
  if (buckets <= 0) return hit;
  int32_t home = std::clamp(y / PageLayout::kBucketHeight, 0, buckets - 1);
  // Widen the search bucket by bucket until a run is found (and one bucket more, to be sure of
  // the nearest one).
  int32_t foundAt = -1;
  for (int32_t d = 0; d < buckets * 2 + 2; ++d) {
    for (int32_t b : {home - d, home + d}) {
      if (b < 0 || b >= buckets || (d == 0 && b != home)) continue;
      for (uint32_t k = layout.bucketStart_[b]; k < layout.bucketStart_[b + 1]; ++k) consider(layout.bucketItems_[k]);
    }
    if (best && foundAt < 0) foundAt = d;
    if (foundAt >= 0 && d > foundAt) break;
    if (home - d < 0 && home + d >= buckets) break;
  }
  if (!best) return hit;
  const PaintItem& it = *best;
  hit.onText = bestScore == 0;
  if (hit.onText) hit.link = it.link;
  std::vector<int32_t> advances;
  RunAdvances(it, tree.text, fonts, advances);
  int32_t cx = it.x;
  hit.offset = it.end;
  for (uint32_t p = it.start; p < it.end; ++p) {
    int32_t a = advances[p - it.start];
    if (a == 0 && p > it.start) continue;  // second half of a pair
    if (x < cx + a / 2 + (a % 2)) {
      hit.offset = p;
      break;
    }
    cx += a;
  }
  return hit;
}

int32_t OffsetTop(const PageLayout& layout, uint32_t offset) {
  int32_t best = -1;
  uint32_t bestStart = UINT32_MAX;
  for (const PaintItem& it : layout.items) {
    if (it.kind != PaintItem::kText || it.end <= offset) continue;
    if (it.start < bestStart) {
      bestStart = it.start;
      best = it.y;
    }
  }
  return best;
}

void WordAt(const BoxTree& tree, uint32_t offset, uint32_t& start, uint32_t& end) {
  const std::u16string& s = tree.text;
  start = end = std::min<uint32_t>(offset, static_cast<uint32_t>(s.size()));
  if (start >= s.size()) return;
  auto wordChar = [](char16_t c) { return IsAsciiAlnum(c) || c == '_' || (c >= 0xC0 && c < 0x2000); };
  if (IsCjk(s[start])) {
    end = start + 1;
    return;
  }
  if (!wordChar(s[start])) {
    end = start + 1;
    return;
  }
  while (start > 0 && wordChar(s[start - 1])) --start;
  while (end < s.size() && wordChar(s[end])) ++end;
}

}  // namespace html
