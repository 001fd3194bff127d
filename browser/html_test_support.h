// Shared by the parser and layout tests: fixed character widths, and the page's outline and lines.
#pragma once

#include <string>
#include <vector>

#include "browser/html_boxes.h"
#include "browser/html_chars.h"
#include "browser/html_layout.h"

namespace html::testing {

// Latin characters half an em wide, CJK characters one em; ascent 4/5 em, descent 1/5.
class FixedMeasurer : public TextMeasurer {
 public:
  FontMetrics Metrics(const FontKey& f) override { return {f.size * 4 / 5, f.size / 5, f.size * 5 / 4}; }
  int Advance(const FontKey& f, char32_t cp) override { return IsCjk(cp) ? f.size : f.size / 2; }
};

// Narrow strings in tests are ASCII or UTF-8.
inline std::u16string U(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    char32_t cp;
    int n;
    if (c < 0x80) { cp = c; n = 1; }
    else if (c < 0xE0) { cp = c & 0x1F; n = 2; }
    else if (c < 0xF0) { cp = c & 0x0F; n = 3; }
    else { cp = c & 0x07; n = 4; }
    for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    AppendCodePoint(out, cp);
    i += n;
  }
  return out;
}

inline std::string Utf8(std::u16string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size();) {
    size_t units;
    char32_t cp = CodePointAt(s, i, &units);
    i += units;
    if (cp < 0x80) out.push_back(static_cast<char>(cp));
    else if (cp < 0x800) { out.push_back(static_cast<char>(0xC0 | (cp >> 6))); out.push_back(static_cast<char>(0x80 | (cp & 0x3F))); }
    else if (cp < 0x10000) { out.push_back(static_cast<char>(0xE0 | (cp >> 12))); out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F))); out.push_back(static_cast<char>(0x80 | (cp & 0x3F))); }
    else { out.push_back(static_cast<char>(0xF0 | (cp >> 18))); out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F))); out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F))); out.push_back(static_cast<char>(0x80 | (cp & 0x3F))); }
  }
  return out;
}

inline std::string PageText(const std::string& html) { return Utf8(BuildPage(U(html)).text); }

// The text runs of each line from top to bottom, joined ("|" between runs of one line dropped).
inline std::vector<std::string> LinesOf(const BoxTree& tree, const PageLayout& layout) {
  std::vector<std::pair<int32_t, std::string>> lines;
  for (const PaintItem& it : layout.items) {
    if (it.kind != PaintItem::kText) continue;
    std::string run = Utf8(std::u16string_view(tree.text).substr(it.start, it.end - it.start));
    if (lines.empty() || lines.back().first != it.y) lines.push_back({it.y, run}); else lines.back().second += run;
  }
  std::vector<std::string> out;
  for (auto& l : lines) {
    while (!l.second.empty() && l.second.back() == ' ') l.second.pop_back();
    out.push_back(l.second);
  }
  return out;
}

}  // namespace html::testing
