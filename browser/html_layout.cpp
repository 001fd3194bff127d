#include "browser/html_layout.h"

#include <algorithm>
#include <climits>

#include "browser/html_chars.h"

namespace html {

int32_t LayoutAdvance(FontCache& fonts, int32_t font, char32_t cp) {
  if (cp < 0x20 || cp == 0x7F || cp == 0xAD || (cp >= 0x200B && cp <= 0x200F) || cp == 0xFEFF) return 0;
  return fonts.Advance(font, cp);
}

void PageLayout::BuildIndex() {
  int32_t buckets = std::max<int32_t>(1, height / kBucketHeight + 1);
  std::vector<uint32_t> counts(buckets + 1, 0);
  auto range = [&](const PaintItem& it, int32_t& b0, int32_t& b1) {
    b0 = std::clamp(it.y / kBucketHeight, 0, buckets - 1);
    b1 = std::clamp((it.y + std::max(it.h, 1) - 1) / kBucketHeight, b0, buckets - 1);
  };
  for (const PaintItem& it : items) {
    int32_t b0, b1;
    range(it, b0, b1);
    for (int32_t b = b0; b <= b1; ++b) ++counts[b];
  }
  bucketStart_.assign(buckets + 1, 0);
  for (int32_t b = 0; b < buckets; ++b) bucketStart_[b + 1] = bucketStart_[b] + counts[b];
  bucketItems_.assign(bucketStart_[buckets], 0);
  std::vector<uint32_t> fill(bucketStart_.begin(), bucketStart_.end() - 1);
  for (uint32_t i = 0; i < items.size(); ++i) {
    int32_t b0, b1;
    range(items[i], b0, b1);
    for (int32_t b = b0; b <= b1; ++b) bucketItems_[fill[b]++] = i;
  }
}

void PageLayout::ItemsIn(int32_t top, int32_t bottom, std::vector<uint32_t>& out) const {
  out.clear();
  if (bucketStart_.size() < 2) return;
  int32_t last = BucketCount() - 1;
  int32_t b0 = std::clamp(top / kBucketHeight, 0, last);
  int32_t b1 = std::clamp((bottom - 1) / kBucketHeight, b0, last);
  for (int32_t b = b0; b <= b1; ++b) {
    for (uint32_t k = bucketStart_[b]; k < bucketStart_[b + 1]; ++k) {
      const PaintItem& it = items[bucketItems_[k]];
      if (it.y < bottom && it.y + it.h > top) out.push_back(bucketItems_[k]);
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

namespace {

int32_t ResolveLength(const Length& l, int32_t available) {
  if (l.percent) return static_cast<int32_t>(static_cast<int64_t>(available) * std::min(l.value, 1000) / 100);
  return l.value;
}

class Engine {
 public:
  Engine(const BoxTree& tree, FontCache& fonts, PageLayout& out)
      : t_(tree), fonts_(fonts), out_(out), styleFont_(tree.styles.size(), -1),
        minW_(tree.boxes.size(), -1), maxW_(tree.boxes.size(), -1) {}

  void Run(int32_t width) {
    out_.background = t_.background;
    if (t_.boxes.empty()) return;
    const Box& root = t_.boxes[0];
    int32_t pending = root.marginTop;
    int32_t y = 0;
    int32_t inner = std::max(0, width - root.marginLeft - root.marginRight);
    LayoutChildren(0, root.marginLeft, y, inner, pending);
    out_.height = y + std::max(pending, root.marginBottom);
    out_.width = std::max(out_.width, 0);
  }

 private:
  // ---- helpers ----

  int32_t FontOf(uint32_t style) {
    int32_t& f = styleFont_[style];
    if (f < 0) f = fonts_.Index(t_.styles[style].font);
    return f;
  }

  void Flush(int32_t& y, int32_t& pending) {
    if (discardLeading_) discardLeading_ = false; else y += pending;
    pending = 0;
  }

  uint32_t AddItem(const PaintItem& it) {
    out_.items.push_back(it);
    return static_cast<uint32_t>(out_.items.size() - 1);
  }

  // A fill and a frame whose place is known only after the content: reserved before it, so that
  // they are painted below it.
  struct Backdrop {
    uint32_t fill = UINT32_MAX, frame = UINT32_MAX;
  };
  Backdrop Reserve(const Box& b) {
    Backdrop d;
    if (b.background != kTransparent) {
      PaintItem f;
      f.kind = PaintItem::kFill;
      f.color = b.background;
      d.fill = AddItem(f);
    }
    if (b.border > 0) {
      PaintItem f;
      f.kind = PaintItem::kFrame;
      f.color = b.borderColor;
      f.frameWidth = b.border;
      d.frame = AddItem(f);
    }
    return d;
  }
  void Place(const Backdrop& d, int32_t x, int32_t y, int32_t w, int32_t h) {
    for (uint32_t i : {d.fill, d.frame}) {
      if (i == UINT32_MAX) continue;
      PaintItem& it = out_.items[i];
      it.x = x;
      it.y = y;
      it.w = w;
      it.h = std::max(h, 0);
    }
    out_.width = std::max(out_.width, x + w);
  }

  // ---- least and preferred widths ----

  void Intrinsic(int32_t box, int32_t& minOut, int32_t& maxOut) {
    if (minW_[box] >= 0) {
      minOut = minW_[box];
      maxOut = maxW_[box];
      return;
    }
    const Box& b = t_.boxes[box];
    int32_t lo = 0, hi = 0;
    switch (b.kind) {
      case BoxKind::kLines:
        LinesIntrinsic(b, lo, hi);
        break;
      case BoxKind::kRule:
        if (b.hasWidth && !b.width.percent) lo = hi = b.width.value;
        break;
      case BoxKind::kTable: {
        std::vector<int32_t> colMin, colMax;
        int32_t chrome = ColumnWidths(b, colMin, colMax);
        for (size_t c = 0; c < colMin.size(); ++c) {
          lo += colMin[c];
          hi += colMax[c];
        }
        lo += chrome;
        hi += chrome;
        for (int32_t cap : t_.tables[b.table].captions) {
          int32_t cmin, cmax;
          Intrinsic(cap, cmin, cmax);
          lo = std::max(lo, cmin);
        }
        if (b.hasWidth && !b.width.percent) lo = hi = std::max(lo, b.width.value);
        break;
      }
      default: {
        for (int32_t c = b.first; c >= 0; c = t_.boxes[c].next) {
          const Box& cb = t_.boxes[c];
          int32_t cmin, cmax;
          Intrinsic(c, cmin, cmax);
          int32_t margins = cb.kind == BoxKind::kLines ? 0 : cb.marginLeft + cb.marginRight;
          lo = std::max(lo, cmin + margins);
          hi = std::max(hi, cmax + margins);
        }
        int32_t edges = 2 * (b.padding + b.border);
        lo += edges;
        hi += edges;
        if (b.kind == BoxKind::kCell && b.noWrap) lo = hi;
        if (b.kind == BoxKind::kBlock && b.hasWidth && !b.width.percent) lo = hi = std::max(lo, b.width.value);
        break;
      }
    }
    hi = std::max(hi, lo);
    minW_[box] = minOut = lo;
    maxW_[box] = maxOut = hi;
  }

  int32_t TabWidth(int32_t font) { return std::max(1, 8 * fonts_.Advance(font, ' ')); }

  void LinesIntrinsic(const Box& b, int32_t& lo, int32_t& hi) {
    int32_t line = 0, trailing = 0, segment = 0;
    char32_t prev = 0;
    bool prevSpace = false;
    auto endLine = [&] {
      hi = std::max(hi, line - trailing);
      lo = std::max(lo, segment);
      line = trailing = segment = 0;
      prev = 0;
      prevSpace = false;
    };
    for (uint32_t i = b.itemStart; i < b.itemEnd; ++i) {
      const InlineItem& item = t_.items[i];
      if (item.kind == InlineItem::kBreak) {
        endLine();
        continue;
      }
      const TextStyle& st = t_.styles[item.style];
      int32_t font = FontOf(item.style);
      bool wraps = st.whiteSpace == WhiteSpace::kNormal;
      size_t units = 1;
      for (uint32_t p = item.start; p < item.end; p += static_cast<uint32_t>(units)) {
        char32_t cp = CodePointAt(t_.text, p, &units);
        if (cp == '\n') {
          endLine();
          continue;
        }
        int32_t a = cp == '\t' ? TabWidth(font) - line % TabWidth(font) : LayoutAdvance(fonts_, font, cp);
        bool space = wraps && cp == ' ';
        bool opportunity = wraps && line > 0 && !space && (prevSpace || (prev && CanBreakBetween(prev, cp)));
        if (opportunity) {
          lo = std::max(lo, segment);
          segment = 0;
        }
        line += a;
        if (space) {
          trailing += a;
        } else {
          segment += a;
          trailing = 0;
        }
        prev = cp;
        prevSpace = space;
      }
    }
    endLine();
  }

  // Least and preferred widths of the columns; answers the width of spacing and borders around them.
  int32_t ColumnWidths(const Box& b, std::vector<int32_t>& colMin, std::vector<int32_t>& colMax) {
    const TableInfo& info = t_.tables[b.table];
    int32_t n = info.columns;
    colMin.assign(n, 0);
    colMax.assign(n, 0);
    std::vector<int32_t> fixed(n, 0);
    for (const TableCell& c : info.cells) {
      if (c.columnSpan != 1) continue;
      int32_t lo, hi;
      Intrinsic(c.box, lo, hi);
      colMin[c.column] = std::max(colMin[c.column], lo);
      colMax[c.column] = std::max(colMax[c.column], hi);
      const Box& cb = t_.boxes[c.box];
      if (cb.hasWidth && !cb.width.percent) fixed[c.column] = std::max(fixed[c.column], cb.width.value);
    }
    for (int32_t k = 0; k < n; ++k) {
      if (fixed[k] > 0) colMax[k] = fixed[k];
      colMax[k] = std::max(colMax[k], colMin[k]);
    }
    for (const TableCell& c : info.cells) {
      if (c.columnSpan == 1) continue;
      int32_t lo, hi;
      Intrinsic(c.box, lo, hi);
      int32_t inner = (c.columnSpan - 1) * info.spacing;
      int64_t sumMin = inner, sumMax = inner;
      for (int32_t k = c.column; k < c.column + c.columnSpan; ++k) {
        sumMin += colMin[k];
        sumMax += colMax[k];
      }
      Spread(colMin, c.column, c.columnSpan, lo - sumMin);
      Spread(colMax, c.column, c.columnSpan, hi - sumMax);
      for (int32_t k = c.column; k < c.column + c.columnSpan; ++k) colMax[k] = std::max(colMax[k], colMin[k]);
    }
    return (n + 1) * info.spacing + 2 * info.border;
  }

  static void Spread(std::vector<int32_t>& cols, int32_t first, int32_t count, int64_t extra) {
    if (extra <= 0 || count <= 0) return;
    int64_t each = extra / count, rest = extra % count;
    for (int32_t k = 0; k < count; ++k) cols[first + k] += static_cast<int32_t>(each + (k < rest ? 1 : 0));
  }

  // ---- blocks ----

  void LayoutChildren(int32_t box, int32_t x, int32_t& y, int32_t width, int32_t& pending) {
    for (int32_t c = t_.boxes[box].first; c >= 0; c = t_.boxes[c].next) {
      const Box& b = t_.boxes[c];
      switch (b.kind) {
        case BoxKind::kLines:
          if (b.itemEnd > b.itemStart) {
            Flush(y, pending);
            y = LayoutLines(b, x, y, width);
          }
          break;
        case BoxKind::kRule: {
          pending = std::max(pending, b.marginTop);
          Flush(y, pending);
          int32_t w = b.hasWidth ? std::min(ResolveLength(b.width, width), width) : width;
          int32_t rx = x + (b.centred ? (width - w) / 2 : 0);
          PaintItem dark;
          dark.kind = PaintItem::kFill;
          dark.x = rx;
          dark.y = y;
          dark.w = w;
          dark.h = 1;
          dark.color = 0xA0A0A0;
          AddItem(dark);
          dark.y = y + 1;
          dark.color = 0xE8E8E8;
          AddItem(dark);
          y += 2;
          pending = b.marginBottom;
          break;
        }
        case BoxKind::kTable:
          pending = std::max(pending, b.marginTop);
          Flush(y, pending);
          y = LayoutTable(b, x + b.marginLeft, y, std::max(0, width - b.marginLeft - b.marginRight));
          pending = b.marginBottom;
          break;
        default:
          LayoutBlock(c, x, y, width, pending);
          break;
      }
    }
  }

  void LayoutBlock(int32_t box, int32_t x, int32_t& y, int32_t width, int32_t& pending) {
    const Box& b = t_.boxes[box];
    pending = std::max(pending, b.marginTop);
    int32_t bx = x + b.marginLeft;
    int32_t bw = std::max(0, width - b.marginLeft - b.marginRight);
    if (b.hasWidth) bw = std::clamp(ResolveLength(b.width, width), 0, bw);
    int32_t edge = b.border + b.padding;
    Backdrop backdrop = Reserve(b);
    int32_t top;
    if (edge > 0) {
      Flush(y, pending);
      top = y;
      y += edge;
    } else {
      top = y + (discardLeading_ ? 0 : pending);
    }
    int32_t baseline = -1;
    int32_t* savedBaseline = firstBaseline_;
    if (b.kind == BoxKind::kListItem) firstBaseline_ = &baseline;
    LayoutChildren(box, bx + edge, y, std::max(0, bw - 2 * edge), pending);
    firstBaseline_ = savedBaseline;
    if (edge > 0) {
      Flush(y, pending);
      y += edge;
    }
    int32_t bottom = std::max(y, top);
    Place(backdrop, bx, top, bw, bottom - top);
    if (b.kind == BoxKind::kListItem && b.markerEnd > b.markerStart) {
      int32_t font = FontOf(b.strutStyle);
      if (baseline < 0) baseline = top + fonts_.Metrics(font).ascent;
      int32_t w = 0;
      size_t units = 1;
      for (uint32_t p = b.markerStart; p < b.markerEnd; p += static_cast<uint32_t>(units)) {
        w += LayoutAdvance(fonts_, font, CodePointAt(t_.markers, p, &units));
      }
      PaintItem m;
      m.kind = PaintItem::kMarker;
      m.font = font;
      m.color = t_.styles[b.strutStyle].color;
      m.x = bx - w - fonts_.Key(font).size / 2;
      m.w = w;
      m.baseline = baseline;
      m.y = baseline - fonts_.Metrics(font).ascent;
      m.h = fonts_.Metrics(font).ascent + fonts_.Metrics(font).descent;
      m.start = b.markerStart;
      m.end = b.markerEnd;
      AddItem(m);
    }
    pending = std::max(pending, b.marginBottom);
  }

  // Lays out a cell's or caption's content; answers its height.
  int32_t LayoutContent(int32_t box, int32_t x, int32_t y, int32_t width) {
    int32_t pending = 0;
    int32_t start = y;
    bool saved = discardLeading_;
    discardLeading_ = true;  // as browsers do for documents without a doctype: no margin at a cell's edges
    LayoutChildren(box, x, y, width, pending);
    discardLeading_ = saved;
    return y - start;
  }

  // ---- lines ----

  struct Piece {
    uint32_t item;
    uint32_t start, end;
    int32_t x, w;
  };
  struct Opportunity {
    bool valid = false;
    uint32_t item = 0, pos = 0;
    size_t pieces = 0;      // pieces before the break, the last one cut at `pos`
    int32_t lineWidth = 0;  // width before the break
  };

  int32_t LayoutLines(const Box& b, int32_t x, int32_t y, int32_t width) {
    pieces_.clear();
    int32_t line = 0, trailing = 0;
    char32_t prev = 0;
    bool prevSpace = false;
    Opportunity opp;
    uint32_t breakStyle = b.strutStyle;
    auto finish = [&](uint32_t extraStyle) {
      y = FinishLine(b, x, y, width, line - trailing, extraStyle);
      pieces_.clear();
      line = trailing = 0;
      prev = 0;
      prevSpace = false;
      opp.valid = false;
    };
    uint32_t i = b.itemStart;
    uint32_t pos = i < b.itemEnd ? t_.items[i].start : 0;
    while (i < b.itemEnd) {
      const InlineItem& item = t_.items[i];
      if (item.kind == InlineItem::kBreak) {
        breakStyle = item.style;
        finish(item.style);
        if (++i < b.itemEnd) pos = t_.items[i].start;
        continue;
      }
      if (pos >= item.end) {
        if (++i < b.itemEnd) pos = t_.items[i].start;
        continue;
      }
      const TextStyle& st = t_.styles[item.style];
      int32_t font = FontOf(item.style);
      bool wraps = st.whiteSpace == WhiteSpace::kNormal;
      size_t units = 1;
      char32_t cp = CodePointAt(t_.text, pos, &units);
      if (cp == '\n') {  // preformatted line end
        finish(item.style);
        pos += 1;
        continue;
      }
      int32_t a = cp == '\t' ? TabWidth(font) - line % TabWidth(font) : LayoutAdvance(fonts_, font, cp);
      bool space = wraps && cp == ' ';
      if (wraps && line > 0 && !space && (prevSpace || (prev && CanBreakBetween(prev, cp)))) {
        opp.valid = true;
        opp.item = i;
        opp.pos = pos;
        opp.pieces = pieces_.size();
        opp.lineWidth = line;
      }
      if (wraps && !space && line > 0 && line + a > width && opp.valid) {
        // Break at the last opportunity and lay out again from there.
        pieces_.resize(opp.pieces);
        if (!pieces_.empty() && pieces_.back().end > opp.pos && pieces_.back().item == opp.item) {
          pieces_.back().end = opp.pos;
        }
        int32_t cut = opp.lineWidth;
        if (!pieces_.empty()) pieces_.back().w = cut - pieces_.back().x;
        line = cut;
        trailing = TrailingSpaces();
        uint32_t item0 = opp.item, pos0 = opp.pos;
        finish(breakStyle);
        i = item0;
        pos = pos0;
        continue;
      }
      bool ownPiece = cp == '\t';
      if (pieces_.empty() || ownPiece || pieces_.back().item != i || pieces_.back().end != pos ||
          (pieces_.back().end > pieces_.back().start && t_.text[pieces_.back().end - 1] == '\t')) {
        pieces_.push_back({i, pos, pos, line, 0});
      }
      Piece& p = pieces_.back();
      p.end = pos + static_cast<uint32_t>(units);
      p.w += a;
      line += a;
      trailing = space ? trailing + a : 0;
      prev = cp;
      prevSpace = space;
      pos += static_cast<uint32_t>(units);
    }
    if (!pieces_.empty()) finish(breakStyle);
    return y;
  }

  int32_t TrailingSpaces() {
    int32_t w = 0;
    for (size_t k = pieces_.size(); k-- > 0;) {
      const Piece& p = pieces_[k];
      int32_t font = FontOf(t_.items[p.item].style);
      for (uint32_t q = p.end; q-- > p.start;) {
        if (t_.text[q] != ' ') return w;
        w += LayoutAdvance(fonts_, font, ' ');
      }
    }
    return w;
  }

  int32_t FinishLine(const Box& b, int32_t x, int32_t y, int32_t width, int32_t contentWidth, uint32_t extraStyle) {
    auto extent = [&](uint32_t style, int32_t& above, int32_t& below) {
      int32_t font = FontOf(style);
      const FontMetrics& m = fonts_.Metrics(font);
      int32_t lead = m.lineHeight - m.ascent - m.descent;
      int32_t shift = t_.styles[style].shift;
      above = std::max(above, m.ascent + lead / 2 + shift);
      below = std::max(below, m.descent + (lead - lead / 2) - shift);
    };
    int32_t above = 0, below = 0;
    extent(b.strutStyle, above, below);
    if (pieces_.empty()) extent(extraStyle, above, below);
    for (const Piece& p : pieces_) extent(t_.items[p.item].style, above, below);
    int32_t baseline = y + above;
    int32_t height = above + below;
    int32_t offset = 0;
    if (contentWidth < width) {
      if (b.align == Align::kCenter) offset = (width - contentWidth) / 2;
      else if (b.align == Align::kRight) offset = width - contentWidth;
    }
    for (const Piece& p : pieces_) {
      const InlineItem& item = t_.items[p.item];
      const TextStyle& st = t_.styles[item.style];
      int32_t font = FontOf(item.style);
      const FontMetrics& m = fonts_.Metrics(font);
      if (st.background != kTransparent) {
        PaintItem f;
        f.kind = PaintItem::kFill;
        f.x = x + offset + p.x;
        f.y = baseline - st.shift - m.ascent;
        f.w = p.w;
        f.h = m.ascent + m.descent;
        f.color = st.background;
        AddItem(f);
      }
      PaintItem it;
      it.kind = PaintItem::kText;
      it.x = x + offset + p.x;
      it.y = y;
      it.w = p.w;
      it.h = height;
      it.baseline = baseline - st.shift;
      it.font = font;
      it.color = st.color;
      it.start = p.start;
      it.end = p.end;
      it.link = st.link;
      AddItem(it);
    }
    out_.width = std::max(out_.width, x + offset + contentWidth);
    if (firstBaseline_ && *firstBaseline_ < 0) *firstBaseline_ = baseline;
    return y + height;
  }

  // ---- tables ----

  int32_t LayoutTable(const Box& b, int32_t x, int32_t y, int32_t available) {
    const TableInfo& info = t_.tables[b.table];
    std::vector<int32_t> colMin, colMax;
    int32_t chrome = ColumnWidths(b, colMin, colMax);
    int64_t sumMin = 0, sumMax = 0;
    for (size_t c = 0; c < colMin.size(); ++c) {
      sumMin += colMin[c];
      sumMax += colMax[c];
    }
    int64_t least = sumMin + chrome;
    for (int32_t cap : info.captions) {
      int32_t cmin, cmax;
      Intrinsic(cap, cmin, cmax);
      least = std::max<int64_t>(least, cmin);
    }
    int64_t target;
    if (b.hasWidth) target = std::max<int64_t>(ResolveLength(b.width, available), least);
    else target = std::max<int64_t>(std::min<int64_t>(sumMax + chrome, available), least);
    int32_t tableWidth = static_cast<int32_t>(std::min<int64_t>(target, INT32_MAX / 4));
    int64_t content = std::max<int64_t>(tableWidth - chrome, 0);

    int32_t n = info.columns;
    std::vector<int32_t> widths(n, 0);
    if (n > 0) {
      if (content >= sumMax) {
        int64_t extra = content - sumMax, given = 0;
        for (int32_t c = 0; c < n; ++c) {
          int64_t share = sumMax > 0 ? extra * colMax[c] / sumMax : extra / n;
          widths[c] = static_cast<int32_t>(colMax[c] + share);
          given += share;
        }
        widths[n - 1] += static_cast<int32_t>(extra - given);
      } else {
        int64_t room = std::max<int64_t>(content - sumMin, 0), span = sumMax - sumMin, given = 0;
        for (int32_t c = 0; c < n; ++c) {
          int64_t share = span > 0 ? room * (colMax[c] - colMin[c]) / span : 0;
          widths[c] = static_cast<int32_t>(colMin[c] + share);
          given += share;
        }
        if (span > 0) widths[n - 1] += static_cast<int32_t>(room - given);
      }
    }
    int32_t tx = x + (b.centred && tableWidth < available ? (available - tableWidth) / 2 : 0);

    for (int32_t cap : info.captions) y += LayoutContent(cap, tx, y, tableWidth);

    int32_t top = y;
    Backdrop backdrop = Reserve(b);
    const int32_t spacing = info.spacing;
    std::vector<int32_t> colX(n + 1, 0);
    colX[0] = tx + info.border + spacing;
    for (int32_t c = 0; c < n; ++c) colX[c + 1] = colX[c] + widths[c] + spacing;

    struct Placed {
      Backdrop backdrop;
      uint32_t contentStart, contentEnd;
      int32_t needed;
      int32_t x, w;
    };
    std::vector<Placed> placed(info.cells.size());
    std::vector<int32_t> rowTop(info.rows + 1, 0), rowHeight(info.rows, 0);
    int32_t cy = top + info.border + spacing;
    size_t next = 0;
    std::vector<size_t> spanning;  // cells over several rows, not yet fully placed
    for (int32_t r = 0; r < info.rows; ++r) {
      rowTop[r] = cy;
      for (; next < info.cells.size() && info.cells[next].row == r; ++next) {
        const TableCell& c = info.cells[next];
        const Box& cb = t_.boxes[c.box];
        Placed& pl = placed[next];
        pl.x = colX[c.column];
        pl.w = colX[c.column + c.columnSpan] - spacing - pl.x;
        pl.backdrop = Reserve(cb);
        pl.contentStart = static_cast<uint32_t>(out_.items.size());
        int32_t edge = cb.padding + cb.border;
        int32_t* savedBaseline = firstBaseline_;
        firstBaseline_ = nullptr;
        int32_t h = LayoutContent(c.box, pl.x + edge, cy + edge, std::max(0, pl.w - 2 * edge));
        firstBaseline_ = savedBaseline;
        pl.contentEnd = static_cast<uint32_t>(out_.items.size());
        pl.needed = h + 2 * edge;
        if (c.rowSpan == 1) rowHeight[r] = std::max(rowHeight[r], pl.needed);
        else spanning.push_back(next);
      }
      for (size_t k : spanning) {
        const TableCell& c = info.cells[k];
        if (c.row + c.rowSpan - 1 != r) continue;
        int32_t have = cy + rowHeight[r] - rowTop[c.row];
        if (placed[k].needed > have) rowHeight[r] += placed[k].needed - have;
      }
      cy += rowHeight[r] + spacing;
    }
    rowTop[info.rows] = cy;
    for (size_t k = 0; k < info.cells.size(); ++k) {
      const TableCell& c = info.cells[k];
      const Box& cb = t_.boxes[c.box];
      Placed& pl = placed[k];
      int32_t cellTop = rowTop[c.row];
      int32_t cellHeight = rowTop[c.row + c.rowSpan] - spacing - cellTop;
      Place(pl.backdrop, pl.x, cellTop, pl.w, cellHeight);
      int32_t dy = 0;
      if (cb.valign == VAlign::kMiddle) dy = (cellHeight - pl.needed) / 2;
      else if (cb.valign == VAlign::kBottom) dy = cellHeight - pl.needed;
      if (dy > 0) {
        for (uint32_t i = pl.contentStart; i < pl.contentEnd; ++i) {
          out_.items[i].y += dy;
          out_.items[i].baseline += dy;
        }
      }
    }
    int32_t bottom = cy + info.border;
    Place(backdrop, tx, top, tableWidth, bottom - top);
    return bottom;
  }

  const BoxTree& t_;
  FontCache& fonts_;
  PageLayout& out_;
  std::vector<int32_t> styleFont_;
  std::vector<int32_t> minW_, maxW_;
  std::vector<Piece> pieces_;
  int32_t* firstBaseline_ = nullptr;
  bool discardLeading_ = false;
};

}  // namespace

PageLayout LayOutPage(const BoxTree& tree, FontCache& fonts, int32_t width) {
  PageLayout out;
  Engine(tree, fonts, out).Run(std::max(width, 0));
  out.BuildIndex();
  return out;
}

}  // namespace html
