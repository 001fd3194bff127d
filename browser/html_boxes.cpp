#include "browser/html_boxes.h"

#include <algorithm>
#include <map>

#include "browser/html_chars.h"

namespace html {
namespace {

enum class Display { kInline, kBlock, kListItem, kTable, kRule, kNone };

constexpr int32_t kMaxSpan = 1000;
constexpr int32_t kMaxColumns = 1000;

// What an element passes to its content, and what its own box gets.
struct Style {
  TextStyle text;
  Align align = Align::kLeft;
  int listDepth = 0;
  bool listMarkers = true;
};

struct ElementBox {
  Display display = Display::kInline;
  int32_t marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;
  int32_t padding = 0;
  bool hasPadding = false;
  int32_t border = -1;  // -1: not given
  Color borderColor = kTransparent;
  Color background = kTransparent;
  bool hasWidth = false;
  Length width;
  bool collapse = false;
  bool centred = false;
  VAlign valign = VAlign::kMiddle;
  bool hasValign = false;
  bool noWrap = false;
};

int ClampSize(double px) { return static_cast<int>(std::clamp(px, 6.0, 200.0)); }

std::u16string ToRoman(int n, bool upper) {
  static const struct { int value; const char* digits; } kRoman[] = {
      {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
      {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
  std::u16string out;
  if (n <= 0 || n >= 4000) return AsciiToUtf16(std::to_string(n));
  for (const auto& r : kRoman) {
    while (n >= r.value) {
      for (const char* d = r.digits; *d; ++d) out.push_back(upper ? char16_t(*d - 32) : char16_t(*d));
      n -= r.value;
    }
  }
  return out;
}

std::u16string ToAlpha(int n, bool upper) {
  if (n <= 0) return AsciiToUtf16(std::to_string(n));
  std::u16string out;
  while (n > 0) {
    --n;
    out.insert(out.begin(), char16_t((upper ? 'A' : 'a') + n % 26));
    n /= 26;
  }
  return out;
}

class Builder {
 public:
  Builder(const Document& doc, const BuildOptions& options, BoxTree& tree)
      : doc_(doc), options_(options), t_(tree) {}

  void Run() {
    t_.background = options_.background;
    Style page;
    page.text.font.size = static_cast<int16_t>(ClampSize(options_.fontSize));
    page.text.color = options_.textColor;
    int32_t body = doc_.Find(kTag_body);
    if (body >= 0) {
      if (const auto* v = doc_.Attr(body, "text")) {
        if (auto c = ParseAttributeColor(*v)) page.text.color = *c;
      }
      if (const auto* v = doc_.Attr(body, "bgcolor")) {
        if (auto c = ParseAttributeColor(*v); c && *c != kTransparent) t_.background = *c;
      }
      if (const auto* v = doc_.Attr(body, "link")) {
        if (auto c = ParseAttributeColor(*v)) linkColor_ = *c;
      }
      if (const auto* v = doc_.Attr(body, "style")) {
        for (const Declaration& d : ParseStyleAttribute(*v)) {
          if (d.property == u"background-color" || d.property == u"background") {
            if (auto c = BackgroundColor(d.value); c && *c != kTransparent) t_.background = *c;
          } else if (d.property == u"color") {
            if (auto c = ParseCssColor(d.value)) page.text.color = *c;
          }
        }
      }
    }
    linkColor_ = linkColor_ == kTransparent ? options_.linkColor : linkColor_;
    Box root;
    root.marginTop = root.marginBottom = root.marginLeft = root.marginRight = 8;
    root.strutStyle = StyleIndex(page.text);
    t_.boxes.push_back(root);
    int32_t lines = -1;
    if (body >= 0) BuildChildren(body, page, 0, lines);
  }

 private:
  // ---- text ----

  uint32_t StyleIndex(const TextStyle& s) {
    auto it = styleIndex_.find(s);
    if (it != styleIndex_.end()) return it->second;
    uint32_t index = static_cast<uint32_t>(t_.styles.size());
    t_.styles.push_back(s);
    styleIndex_.emplace(s, index);
    return index;
  }

  int32_t NewBox(BoxKind kind, int32_t parent) {
    Box b;
    b.kind = kind;
    t_.boxes.push_back(b);
    int32_t id = static_cast<int32_t>(t_.boxes.size() - 1);
    if (parent >= 0) {
      Box& p = t_.boxes[parent];
      if (p.last >= 0) t_.boxes[p.last].next = id; else p.first = id;
      p.last = id;
    }
    return id;
  }

  void BlockBoundary() {
    pendingSpace_ = false;
    atLineStart_ = true;
    if (!t_.text.empty() && t_.text.back() != '\n' && t_.text.back() != '\t') pendingBreak_ = true;
  }

  void EnsureLines(int32_t block, int32_t& lines) {
    if (lines >= 0) return;
    lines = NewBox(BoxKind::kLines, block);
    Box& l = t_.boxes[lines];
    l.strutStyle = t_.boxes[block].strutStyle;
    l.align = t_.boxes[block].align;
    l.itemStart = l.itemEnd = static_cast<uint32_t>(t_.items.size());
  }

  void AppendChar(char16_t c, uint32_t style, int32_t block, int32_t& lines) {
    EnsureLines(block, lines);
    uint32_t pos = static_cast<uint32_t>(t_.text.size());
    t_.text.push_back(c);
    Box& l = t_.boxes[lines];
    if (l.itemEnd > l.itemStart) {
      InlineItem& last = t_.items.back();
      if (last.kind == InlineItem::kText && last.style == style && last.end == pos) {
        last.end = pos + 1;
        return;
      }
    }
    t_.items.push_back({InlineItem::kText, style, pos, pos + 1});
    l.itemEnd = static_cast<uint32_t>(t_.items.size());
  }

  void Realize(int32_t block, int32_t& lines) {
    if (pendingBreak_) {
      t_.text.push_back('\n');
      pendingBreak_ = false;
    }
    if (pendingSpace_) {
      pendingSpace_ = false;
      if (!atLineStart_) AppendChar(' ', pendingSpaceStyle_, block, lines);
    }
  }

  void AddText(std::u16string_view s, const Style& style, int32_t block, int32_t& lines) {
    uint32_t st = StyleIndex(style.text);
    if (style.text.whiteSpace == WhiteSpace::kPre) {
      if (s.empty()) return;
      Realize(block, lines);
      for (char16_t c : s) AppendChar(c, st, block, lines);
      atLineStart_ = s.back() == '\n';
      return;
    }
    for (char16_t c : s) {
      if (IsHtmlSpace(c)) {
        if (!pendingSpace_) pendingSpaceStyle_ = st;
        pendingSpace_ = true;
        continue;
      }
      Realize(block, lines);
      AppendChar(c, st, block, lines);
      atLineStart_ = false;
    }
  }

  void AddBreak(const Style& style, int32_t block, int32_t& lines) {
    EnsureLines(block, lines);
    if (pendingBreak_) {
      t_.text.push_back('\n');
      pendingBreak_ = false;
    }
    pendingSpace_ = false;
    uint32_t pos = static_cast<uint32_t>(t_.text.size());
    t_.text.push_back('\n');
    t_.items.push_back({InlineItem::kBreak, StyleIndex(style.text), pos, pos + 1});
    t_.boxes[lines].itemEnd = static_cast<uint32_t>(t_.items.size());
    atLineStart_ = true;
  }

  // ---- styles ----

  std::optional<Color> BackgroundColor(std::u16string_view value) {
    if (auto c = ParseCssColor(value)) return c;
    size_t i = 0;
    while (i < value.size()) {
      while (i < value.size() && IsHtmlSpace(value[i])) ++i;
      size_t start = i;
      int depth = 0;
      while (i < value.size() && (depth > 0 || !IsHtmlSpace(value[i]))) {
        if (value[i] == '(') ++depth;
        if (value[i] == ')') --depth;
        ++i;
      }
      if (auto c = ParseCssColor(value.substr(start, i - start))) return c;
    }
    return std::nullopt;
  }

  static Display DefaultDisplay(uint16_t tag) {
    switch (tag) {
      case kTag_li: return Display::kListItem;
      case kTag_hr: return Display::kRule;
      case kTag_table: return Display::kTable;
      case kTag_caption: case kTag_td: case kTag_th: case kTag_tr: case kTag_tbody: case kTag_thead:
      case kTag_tfoot: case kTag_legend: case kTag_center:
        return Display::kBlock;
      default:
        return HasFlag(tag, kBlockLevel) ? Display::kBlock : Display::kInline;
    }
  }

  void ApplyTagDefaults(int32_t node, uint16_t tag, Style& s, ElementBox& e) {
    TextStyle& ts = s.text;
    const int parentSize = ts.font.size;
    auto em = [&](double f) { return static_cast<int32_t>(f * ts.font.size + 0.5); };
    switch (tag) {
      case kTag_b: case kTag_strong: ts.font.bold = true; break;
      case kTag_i: case kTag_em: case kTag_cite: case kTag_var: case kTag_dfn: case kTag_address:
        ts.font.italic = true;
        break;
      case kTag_u: case kTag_ins: ts.font.underline = true; break;
      case kTag_s: case kTag_strike: case kTag_del: ts.font.strike = true; break;
      case kTag_code: case kTag_tt: case kTag_kbd: case kTag_samp: ts.font.mono = true; break;
      case kTag_pre: case kTag_listing: case kTag_xmp: case kTag_plaintext:
        ts.font.mono = true;
        ts.whiteSpace = WhiteSpace::kPre;
        e.marginTop = e.marginBottom = em(1);
        break;
      case kTag_nobr: ts.whiteSpace = WhiteSpace::kNoWrap; break;
      case kTag_big: ts.font.size = static_cast<int16_t>(ClampSize(parentSize * 1.2)); break;
      case kTag_small: ts.font.size = static_cast<int16_t>(ClampSize(parentSize / 1.2)); break;
      case kTag_sub: case kTag_sup:
        ts.font.size = static_cast<int16_t>(ClampSize(parentSize * 0.83));
        ts.shift = static_cast<int16_t>(tag == kTag_sup ? parentSize / 3 : -(parentSize / 5));
        break;
      case kTag_mark: ts.background = 0xFFFF00; break;
      case kTag_center: s.align = Align::kCenter; e.centred = true; break;
      case kTag_p: e.marginTop = e.marginBottom = em(1); break;
      case kTag_dl: e.marginTop = e.marginBottom = em(1); break;
      case kTag_dd: e.marginLeft = 40; break;
      case kTag_blockquote: case kTag_figure:
        e.marginTop = e.marginBottom = em(1);
        e.marginLeft = e.marginRight = 40;
        break;
      case kTag_ul: case kTag_ol: case kTag_menu: case kTag_dir:
        if (s.listDepth == 0) e.marginTop = e.marginBottom = em(1);
        e.padding = 0;
        e.marginLeft = 40;
        break;
      case kTag_hr:
        e.marginTop = e.marginBottom = em(0.5);
        e.centred = true;
        break;
      case kTag_fieldset:
        e.marginLeft = e.marginRight = 2;
        e.padding = 8;
        e.hasPadding = true;
        e.border = 2;
        e.borderColor = 0xC0C0C0;
        break;
      case kTag_a:
        if (const auto* href = doc_.Attr(node, "href")) {
          ts.link = static_cast<int32_t>(t_.links.size());
          t_.links.push_back(*href);
          ts.color = linkColor_;
          ts.font.underline = true;
        }
        break;
      case kTag_font:
        if (const auto* v = doc_.Attr(node, "color")) {
          if (auto c = ParseAttributeColor(*v); c && *c != kTransparent) ts.color = *c;
        }
        if (const auto* v = doc_.Attr(node, "size")) ts.font.size = FontSizeAttribute(*v);
        if (const auto* v = doc_.Attr(node, "face")) {
          std::u16string_view f = *v;
          if (f.find(u"Courier") != std::u16string_view::npos || f.find(u"mono") != std::u16string_view::npos) ts.font.mono = true;
        }
        break;
      default:
        break;
    }
    if (IsHeading(tag)) {
      static const double kScale[] = {2.0, 1.5, 1.17, 1.0, 0.83, 0.67};
      static const double kMargin[] = {0.67, 0.83, 1.0, 1.33, 1.67, 2.33};
      int level = tag - kTag_h1;
      ts.font.size = static_cast<int16_t>(ClampSize(parentSize * kScale[level]));
      ts.font.bold = true;
      e.marginTop = e.marginBottom = em(kMargin[level]);
    }
    if (tag == kTag_ul || tag == kTag_ol || tag == kTag_menu || tag == kTag_dir) ++s.listDepth;
  }

  int16_t FontSizeAttribute(std::u16string_view v) {
    static const int kSizes[] = {10, 13, 16, 18, 24, 32, 48};
    v = TrimSpaces(v);
    if (v.empty()) return static_cast<int16_t>(options_.fontSize);
    int sign = 0;
    if (v.front() == '+') sign = 1;
    if (v.front() == '-') sign = -1;
    if (sign) v.remove_prefix(1);
    int n = 0;
    size_t i = 0;
    while (i < v.size() && IsAsciiDigit(v[i]) && n < 100) n = n * 10 + (v[i++] - '0');
    if (i == 0) return static_cast<int16_t>(options_.fontSize);
    int level = sign ? 3 + sign * n : n;
    level = std::clamp(level, 1, 7);
    return static_cast<int16_t>(ClampSize(kSizes[level - 1] * options_.fontSize / 16.0));
  }

  void ApplyAlignAttribute(int32_t node, Style& s, ElementBox& e, uint16_t tag) {
    const auto* v = doc_.Attr(node, "align");
    if (!v) return;
    if (tag == kTag_table || tag == kTag_hr) {
      e.centred = EqualsNoCase(TrimSpaces(*v), "center");
      return;
    }
    if (tag == kTag_img) return;
    if (auto a = ParseAlign(*v)) s.align = *a;
  }

  static std::optional<Align> ParseAlign(std::u16string_view v) {
    v = TrimSpaces(v);
    if (EqualsNoCase(v, "center") || EqualsNoCase(v, "middle")) return Align::kCenter;
    if (EqualsNoCase(v, "right")) return Align::kRight;
    if (EqualsNoCase(v, "left") || EqualsNoCase(v, "justify")) return Align::kLeft;
    return std::nullopt;
  }

  static std::optional<VAlign> ParseVAlign(std::u16string_view v) {
    v = TrimSpaces(v);
    if (EqualsNoCase(v, "top")) return VAlign::kTop;
    if (EqualsNoCase(v, "bottom")) return VAlign::kBottom;
    if (EqualsNoCase(v, "middle") || EqualsNoCase(v, "center")) return VAlign::kMiddle;
    return std::nullopt;
  }

  void ApplyStyleAttribute(int32_t node, Style& s, ElementBox& e, int parentSize) {
    const auto* style = doc_.Attr(node, "style");
    if (!style) return;
    TextStyle& ts = s.text;
    for (const Declaration& d : ParseStyleAttribute(*style)) {
      const std::u16string& p = d.property;
      std::u16string_view v = d.value;
      if (p == u"color") {
        if (auto c = ParseCssColor(v); c && *c != kTransparent) ts.color = *c;
      } else if (p == u"background-color" || p == u"background") {
        if (auto c = BackgroundColor(v)) e.background = *c;
      } else if (p == u"font-weight") {
        if (EqualsNoCase(v, "bold") || EqualsNoCase(v, "bolder")) ts.font.bold = true;
        else if (EqualsNoCase(v, "normal") || EqualsNoCase(v, "lighter")) ts.font.bold = false;
        else if (IsAsciiDigit(v.front())) ts.font.bold = v.size() == 3 && v.front() >= '6';
      } else if (p == u"font-style") {
        ts.font.italic = EqualsNoCase(v, "italic") || EqualsNoCase(v, "oblique");
      } else if (p == u"text-decoration" || p == u"text-decoration-line") {
        if (v.find(u"none") != std::u16string_view::npos) ts.font.underline = ts.font.strike = false;
        if (v.find(u"underline") != std::u16string_view::npos) ts.font.underline = true;
        if (v.find(u"line-through") != std::u16string_view::npos) ts.font.strike = true;
      } else if (p == u"text-align") {
        if (auto a = ParseAlign(v)) s.align = *a;
      } else if (p == u"font-size") {
        ts.font.size = static_cast<int16_t>(CssFontSize(v, parentSize, ts.font.size));
      } else if (p == u"display") {
        if (EqualsNoCase(v, "none")) e.display = Display::kNone;
        else if (e.display != Display::kTable && e.display != Display::kRule) {
          if (EqualsNoCase(v, "block")) e.display = Display::kBlock;
          else if (EqualsNoCase(v, "inline") || EqualsNoCase(v, "inline-block")) e.display = Display::kInline;
          else if (EqualsNoCase(v, "list-item")) e.display = Display::kListItem;
        }
      } else if (p == u"white-space") {
        if (EqualsNoCase(v, "nowrap")) ts.whiteSpace = WhiteSpace::kNoWrap;
        else if (StartsWithNoCase(v, "pre") && !EqualsNoCase(v, "pre-line")) ts.whiteSpace = WhiteSpace::kPre;
        else ts.whiteSpace = WhiteSpace::kNormal;
      } else if (p == u"width") {
        if (auto l = ParseCssLength(v, ts.font.size); l && l->value >= 0) {
          e.hasWidth = true;
          e.width = *l;
        }
      } else if (p == u"border" || p == u"border-width" || p == u"border-color") {
        ParseBorder(v, ts.font.size, e);
      } else if (p == u"border-collapse") {
        e.collapse = EqualsNoCase(v, "collapse");
      } else if (p == u"padding") {
        if (auto l = ParseCssLength(v.substr(0, v.find(' ')), ts.font.size); l && !l->percent) {
          e.padding = std::clamp(l->value, 0, 1000);
          e.hasPadding = true;
        }
      } else if (p == u"vertical-align") {
        if (auto a = ParseVAlign(v)) {
          e.valign = *a;
          e.hasValign = true;
        } else if (EqualsNoCase(v, "super")) {
          ts.shift = static_cast<int16_t>(parentSize / 3);
        } else if (EqualsNoCase(v, "sub")) {
          ts.shift = static_cast<int16_t>(-(parentSize / 5));
        }
      } else if (p == u"list-style-type" || p == u"list-style") {
        if (v.find(u"none") != std::u16string_view::npos) s.listMarkers = false;
      } else if (p == u"margin-left" || p == u"margin-right" || p == u"margin-top" || p == u"margin-bottom") {
        auto l = ParseCssLength(v, ts.font.size);
        if (!l || l->percent) continue;
        int32_t m = std::clamp(l->value, 0, 1000);
        if (p == u"margin-left") e.marginLeft = m;
        else if (p == u"margin-right") e.marginRight = m;
        else if (p == u"margin-top") e.marginTop = m;
        else e.marginBottom = m;
      } else if (p == u"margin") {
        if (auto l = ParseCssLength(v.substr(0, v.find(' ')), ts.font.size); l && !l->percent) {
          int32_t m = std::clamp(l->value, 0, 1000);
          bool single = v.find(' ') == std::u16string_view::npos;
          e.marginTop = e.marginBottom = m;
          if (single) e.marginLeft = e.marginRight = m;
        }
      }
    }
  }

  void ParseBorder(std::u16string_view v, int fontSize, ElementBox& e) {
    size_t i = 0;
    while (i < v.size()) {
      while (i < v.size() && IsHtmlSpace(v[i])) ++i;
      size_t start = i;
      while (i < v.size() && !IsHtmlSpace(v[i])) ++i;
      std::u16string_view token = v.substr(start, i - start);
      if (token.empty()) break;
      if (EqualsNoCase(token, "none") || EqualsNoCase(token, "hidden")) {
        e.border = 0;
      } else if (auto l = ParseCssLength(token, fontSize); l && !l->percent) {
        e.border = std::clamp(l->value, 0, 100);
      } else if (EqualsNoCase(token, "thin")) {
        e.border = 1;
      } else if (EqualsNoCase(token, "medium")) {
        e.border = 3;
      } else if (EqualsNoCase(token, "thick")) {
        e.border = 5;
      } else if (auto c = ParseCssColor(token)) {
        e.borderColor = *c;
        if (e.border < 0) e.border = 3;
      }
    }
  }

  int CssFontSize(std::u16string_view v, int parentSize, int current) {
    static const struct { const char* name; int size; } kKeywords[] = {
        {"xx-small", 9}, {"x-small", 10}, {"small", 13}, {"medium", 16},
        {"large", 18}, {"x-large", 24}, {"xx-large", 32}};
    for (const auto& k : kKeywords) {
      if (EqualsNoCase(v, k.name)) return ClampSize(k.size * options_.fontSize / 16.0);
    }
    if (EqualsNoCase(v, "smaller")) return ClampSize(parentSize / 1.2);
    if (EqualsNoCase(v, "larger")) return ClampSize(parentSize * 1.2);
    auto l = ParseCssLength(v, parentSize);
    if (!l) return current;
    return ClampSize(l->percent ? parentSize * l->value / 100.0 : l->value);
  }

  void ReadAnchor(int32_t node, uint16_t tag) {
    const std::u16string* name = doc_.Attr(node, "id");
    if (!name && tag == kTag_a) name = doc_.Attr(node, "name");
    if (name && !name->empty()) {
      // Where the element's first character will go, after any break or space still pending.
      size_t at = t_.text.size() + (pendingBreak_ ? 1 : 0) + (pendingSpace_ && !atLineStart_ ? 1 : 0);
      t_.anchors.emplace_back(*name, static_cast<uint32_t>(at));
    }
  }

  // ---- structure ----

  void BuildChildren(int32_t node, const Style& style, int32_t block, int32_t& lines) {
    for (int32_t c = doc_.nodes[node].first; c >= 0; c = doc_.nodes[c].next) {
      const Node& child = doc_.nodes[c];
      if (child.tag == kTagText) {
        AddText(doc_.TextOf(child), style, block, lines);
      } else {
        BuildElement(c, style, block, lines);
      }
    }
  }

  void ApplyBoxProps(Box& b, const ElementBox& e, const Style& s) {
    b.marginTop = e.marginTop;
    b.marginBottom = e.marginBottom;
    b.marginLeft = e.marginLeft;
    b.marginRight = e.marginRight;
    b.padding = e.padding;
    if (e.border > 0) {
      b.border = e.border;
      b.borderColor = e.borderColor == kTransparent ? s.text.color : e.borderColor;
    }
    b.background = e.background;
    b.align = s.align;
    b.strutStyle = StyleIndex(s.text);
    b.hasWidth = e.hasWidth;
    b.width = e.width;
  }

  void BuildElement(int32_t node, const Style& parent, int32_t block, int32_t& lines) {
    uint16_t tag = doc_.nodes[node].tag;
    if (HasFlag(tag, kHidden)) return;
    Style s = parent;
    ElementBox e;
    e.display = DefaultDisplay(tag);
    ApplyTagDefaults(node, tag, s, e);
    ApplyAlignAttribute(node, s, e, tag);
    ApplyStyleAttribute(node, s, e, parent.text.font.size);
    if (e.display == Display::kNone) return;

    if (e.display == Display::kInline) {
      ReadAnchor(node, tag);
      if (e.background != kTransparent) s.text.background = e.background;
      if (tag == kTag_br) {
        AddBreak(s, block, lines);
      } else if (tag == kTag_img) {
        if (const auto* alt = doc_.Attr(node, "alt")) AddText(*alt, s, block, lines);
      } else {
        BuildChildren(node, s, block, lines);
      }
      return;
    }

    lines = -1;
    BlockBoundary();
    ReadAnchor(node, tag);
    s.text.background = kTransparent;
    if (e.display == Display::kTable) {
      BuildTable(node, s, e, block);
    } else if (e.display == Display::kRule) {
      int32_t rule = NewBox(BoxKind::kRule, block);
      ApplyBoxProps(t_.boxes[rule], e, s);
      t_.boxes[rule].centred = e.centred;
      if (const auto* w = doc_.Attr(node, "width")) {
        if (auto l = ParseAttributeLength(*w)) {
          t_.boxes[rule].hasWidth = true;
          t_.boxes[rule].width = *l;
        }
      }
    } else {
      int32_t box = NewBox(e.display == Display::kListItem ? BoxKind::kListItem : BoxKind::kBlock, block);
      ApplyBoxProps(t_.boxes[box], e, s);
      bool isList = tag == kTag_ul || tag == kTag_ol || tag == kTag_menu || tag == kTag_dir;
      if (isList) lists_.push_back(ListFor(node, tag, s.listDepth));
      if (e.display == Display::kListItem) AddMarker(node, box, s);
      int32_t inner = -1;
      BuildChildren(node, s, box, inner);
      if (isList) lists_.pop_back();
    }
    BlockBoundary();
  }

  struct List {
    char16_t type = 'd';  // d disc, c circle, s square, 1 a A i I
    int next = 1;
  };

  List ListFor(int32_t node, uint16_t tag, int depth) {
    List l;
    if (tag == kTag_ol) {
      l.type = '1';
      if (const auto* v = doc_.Attr(node, "type"); v && v->size() == 1 && std::u16string_view(u"1aAiI").find((*v)[0]) != std::u16string_view::npos) {
        l.type = (*v)[0];
      }
      if (const auto* v = doc_.Attr(node, "start")) {
        if (auto n = ParseCssLength(*v, 16)) l.next = n->value;
      }
    } else {
      l.type = depth <= 1 ? 'd' : (depth == 2 ? 'c' : 's');
    }
    return l;
  }

  void AddMarker(int32_t node, int32_t box, const Style& s) {
    if (!s.listMarkers) return;
    List fallback;
    List& l = lists_.empty() ? fallback : lists_.back();
    if (const auto* v = doc_.Attr(node, "value")) {
      if (auto n = ParseCssLength(*v, 16)) l.next = n->value;
    }
    std::u16string m;
    switch (l.type) {
      case 'd': m = u"\u2022"; break;
      case 'c': m = u"\u25E6"; break;
      case 's': m = u"\u25AA"; break;
      case 'a': case 'A': m = ToAlpha(l.next, l.type == 'A') + u"."; break;
      case 'i': case 'I': m = ToRoman(l.next, l.type == 'I') + u"."; break;
      default: m = AsciiToUtf16(std::to_string(l.next)) + u"."; break;
    }
    ++l.next;
    Box& b = t_.boxes[box];
    b.markerStart = static_cast<uint32_t>(t_.markers.size());
    t_.markers += m;
    b.markerEnd = static_cast<uint32_t>(t_.markers.size());
  }

  // ---- tables ----

  struct RowRef {
    int32_t node;
    Style style;
    ElementBox props;
  };

  void CollectRows(int32_t node, const Style& s, std::vector<RowRef>& rows, std::vector<int32_t>& captions) {
    for (int32_t c = doc_.nodes[node].first; c >= 0; c = doc_.nodes[c].next) {
      uint16_t tag = doc_.nodes[c].tag;
      if (tag == kTagText || HasFlag(tag, kHidden)) continue;
      if (tag == kTag_caption) {
        captions.push_back(c);
      } else if (tag == kTag_tr) {
        RowRef r{c, s, {}};
        ApplyAlignAttribute(c, r.style, r.props, tag);
        ApplyStyleAttribute(c, r.style, r.props, s.text.font.size);
        if (const auto* v = doc_.Attr(c, "bgcolor")) {
          if (auto col = ParseAttributeColor(*v)) r.props.background = *col;
        }
        if (const auto* v = doc_.Attr(c, "valign")) {
          if (auto a = ParseVAlign(*v)) {
            r.props.valign = *a;
            r.props.hasValign = true;
          }
        }
        if (r.props.display != Display::kNone) rows.push_back(std::move(r));
      } else if (tag != kTag_table) {
        Style inner = s;
        ElementBox ignored;
        ApplyAlignAttribute(c, inner, ignored, tag);
        CollectRows(c, inner, rows, captions);
      }
    }
  }

  void CollectCells(int32_t node, std::vector<int32_t>& cells) {
    for (int32_t c = doc_.nodes[node].first; c >= 0; c = doc_.nodes[c].next) {
      uint16_t tag = doc_.nodes[c].tag;
      if (tag == kTag_td || tag == kTag_th) cells.push_back(c);
      else if (tag != kTagText && tag != kTag_tr && tag != kTag_table && !HasFlag(tag, kHidden)) CollectCells(c, cells);
    }
  }

  void BuildTable(int32_t node, const Style& s, const ElementBox& e, int32_t block) {
    int32_t box = NewBox(BoxKind::kTable, block);
    ApplyBoxProps(t_.boxes[box], e, s);
    TableInfo info;
    int32_t cellPadding = 1;
    int32_t cellBorder = 0;
    Color borderColor = 0x808080;
    if (const auto* v = doc_.Attr(node, "border")) {
      auto l = ParseAttributeLength(*v);
      info.border = l ? std::min(l->value, 100) : 1;
      cellBorder = info.border > 0 ? 1 : 0;
    }
    if (const auto* v = doc_.Attr(node, "cellspacing")) {
      if (auto l = ParseAttributeLength(*v); l && !l->percent) info.spacing = std::min(l->value, 1000);
    }
    if (const auto* v = doc_.Attr(node, "cellpadding")) {
      if (auto l = ParseAttributeLength(*v); l && !l->percent) cellPadding = std::min(l->value, 1000);
    }
    if (const auto* v = doc_.Attr(node, "bordercolor")) {
      if (auto c = ParseAttributeColor(*v); c && *c != kTransparent) borderColor = *c;
    }
    Box& tb = t_.boxes[box];
    if (const auto* v = doc_.Attr(node, "width"); v && !tb.hasWidth) {
      if (auto l = ParseAttributeLength(*v)) {
        tb.hasWidth = true;
        tb.width = *l;
      }
    }
    if (const auto* v = doc_.Attr(node, "bgcolor"); v && e.background == kTransparent) {
      if (auto c = ParseAttributeColor(*v)) tb.background = *c;
    }
    if (e.border >= 0) {  // style="border: ..." on the table
      info.border = e.border;
      if (cellBorder == 0 && e.collapse) cellBorder = std::min(e.border, 1);
    }
    if (e.borderColor != kTransparent) borderColor = e.borderColor;
    tb.border = info.border;
    tb.borderColor = borderColor;
    tb.centred = e.centred;
    tb.padding = 0;
    if (e.collapse) info.spacing = 0;

    std::vector<RowRef> rows;
    std::vector<int32_t> captions;
    Style inner = s;
    inner.align = Align::kLeft;
    if (e.centred && s.align == Align::kCenter) inner.align = Align::kCenter;
    CollectRows(node, inner, rows, captions);

    for (int32_t c : captions) {
      int32_t cap = NewBox(BoxKind::kCaption, -1);
      Style cs = inner;
      cs.align = Align::kCenter;
      ElementBox ce;
      ApplyAlignAttribute(c, cs, ce, kTag_caption);
      ApplyStyleAttribute(c, cs, ce, cs.text.font.size);
      ApplyBoxProps(t_.boxes[cap], ce, cs);
      info.captions.push_back(cap);
      int32_t lines = -1;
      BuildChildren(c, cs, cap, lines);
      BlockBoundary();
    }

    std::vector<int32_t> busyUntil;  // per column: the first row where it is free again
    int32_t rowCount = static_cast<int32_t>(rows.size());
    for (int32_t r = 0; r < rowCount; ++r) {
      const RowRef& row = rows[r];
      // Rows start lines; the first row of a table that opens a cell stays on the cell's line.
      bool lineEnded = t_.text.empty() || t_.text.back() == '\n' || (r == 0 && t_.text.back() == '\t');
      if (!lineEnded) t_.text.push_back('\n');
      pendingBreak_ = pendingSpace_ = false;
      atLineStart_ = true;
      std::vector<int32_t> cellNodes;
      CollectCells(row.node, cellNodes);
      int32_t column = 0;
      bool first = true;
      for (int32_t cellNode : cellNodes) {
        uint16_t tag = doc_.nodes[cellNode].tag;
        Style cs = row.style;
        ElementBox ce;
        ce.valign = row.props.hasValign ? row.props.valign : VAlign::kMiddle;
        ce.background = row.props.background;
        ce.padding = cellPadding;
        ce.border = cellBorder;
        ce.borderColor = borderColor;
        if (tag == kTag_th) {
          cs.text.font.bold = true;
          cs.align = Align::kCenter;
        }
        ApplyAlignAttribute(cellNode, cs, ce, tag);
        if (const auto* v = doc_.Attr(cellNode, "bgcolor")) {
          if (auto c = ParseAttributeColor(*v)) ce.background = *c;
        }
        if (const auto* v = doc_.Attr(cellNode, "valign")) {
          if (auto a = ParseVAlign(*v)) ce.valign = *a;
        }
        if (const auto* v = doc_.Attr(cellNode, "width")) {
          if (auto l = ParseAttributeLength(*v)) {
            ce.hasWidth = true;
            ce.width = *l;
          }
        }
        ce.noWrap = doc_.Attr(cellNode, "nowrap") != nullptr;
        int32_t givenBorder = ce.border;
        ce.border = -1;
        ApplyStyleAttribute(cellNode, cs, ce, cs.text.font.size);
        if (ce.border < 0) ce.border = givenBorder;
        if (ce.display == Display::kNone) continue;
        if (ce.noWrap && cs.text.whiteSpace == WhiteSpace::kNormal) cs.text.whiteSpace = WhiteSpace::kNoWrap;

        if (!first) {
          pendingBreak_ = pendingSpace_ = false;
          t_.text.push_back('\t');
          atLineStart_ = true;
        }
        first = false;

        int32_t cellBox = NewBox(BoxKind::kCell, -1);
        ApplyBoxProps(t_.boxes[cellBox], ce, cs);
        Box& cb = t_.boxes[cellBox];
        cb.border = ce.border;
        cb.borderColor = ce.borderColor == kTransparent ? borderColor : ce.borderColor;
        cb.padding = ce.padding;
        cb.valign = ce.valign;
        cb.noWrap = ce.noWrap;

        TableCell cell;
        cell.box = cellBox;
        cell.row = r;
        cell.columnSpan = SpanAttribute(cellNode, "colspan", 1, kMaxSpan);
        cell.rowSpan = SpanAttribute(cellNode, "rowspan", 0, 65534);
        if (cell.rowSpan == 0 || cell.rowSpan > rowCount - r) cell.rowSpan = rowCount - r;
        while (column < static_cast<int32_t>(busyUntil.size()) && busyUntil[column] > r) ++column;
        if (column >= kMaxColumns) continue;
        cell.column = column;
        cell.columnSpan = std::min(cell.columnSpan, kMaxColumns - column);
        if (static_cast<int32_t>(busyUntil.size()) < column + cell.columnSpan) busyUntil.resize(column + cell.columnSpan, 0);
        for (int32_t k = 0; k < cell.columnSpan; ++k) busyUntil[column + k] = r + cell.rowSpan;
        column += cell.columnSpan;
        info.columns = std::max(info.columns, column);
        info.cells.push_back(cell);

        int32_t lines = -1;
        BuildChildren(cellNode, cs, cellBox, lines);
        BlockBoundary();
      }
      BlockBoundary();
    }
    info.rows = rowCount;
    t_.boxes[box].table = static_cast<int32_t>(t_.tables.size());
    t_.tables.push_back(std::move(info));
  }

  int32_t SpanAttribute(int32_t node, const char* name, int32_t low, int32_t high) {
    const auto* v = doc_.Attr(node, name);
    if (!v) return 1;
    auto l = ParseAttributeLength(*v);
    if (!l) return 1;
    return std::clamp(l->value, low, high);
  }

  const Document& doc_;
  const BuildOptions& options_;
  BoxTree& t_;
  std::map<TextStyle, uint32_t> styleIndex_;
  std::vector<List> lists_;
  Color linkColor_ = kTransparent;
  bool pendingSpace_ = false;
  uint32_t pendingSpaceStyle_ = 0;
  bool pendingBreak_ = false;
  bool atLineStart_ = true;
};

}  // namespace

BoxTree BuildBoxes(const Document& doc, const BuildOptions& options) {
  BoxTree tree;
  Builder(doc, options, tree).Run();
  return tree;
}

BoxTree BuildPage(std::u16string_view html, const BuildOptions& options) {
  return BuildBoxes(ParseHtml(html), options);
}

std::u16string ExportText(std::u16string_view pageText) {
  std::u16string out;
  out.reserve(pageText.size() + pageText.size() / 16);
  for (char16_t c : pageText) {
    switch (c) {
      case '\n': out += u"\r\n"; break;
      case 0x00A0: out.push_back(' '); break;
      case 0x00AD: case 0x200B: break;
      default: out.push_back(c);
    }
  }
  return out;
}

}  // namespace html
