// The page as the layout sees it: blocks, lines of styled text, list items and tables, built from
// the element tree with the styles of the tags, their presentational attributes and inline style.
// Building also produces the page's text, the one WM_GETTEXT answers and selections copy from:
// white space collapsed as shown; blocks, rows and <br> end lines ('\n'); table cells are
// separated by '\t'; list markers are not part of it; <img> contributes its alt text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "browser/html_css.h"
#include "browser/html_document.h"
#include "browser/html_fonts.h"

namespace html {

enum class Align : uint8_t { kLeft, kCenter, kRight };
enum class VAlign : uint8_t { kTop, kMiddle, kBottom };
enum class WhiteSpace : uint8_t { kNormal, kNoWrap, kPre };

struct TextStyle {
  FontKey font;
  Color color = 0;
  Color background = kTransparent;
  int32_t link = -1;   // index into BoxTree::links
  int16_t shift = 0;   // baseline raised by (sup) or lowered by (sub, negative) pixels
  WhiteSpace whiteSpace = WhiteSpace::kNormal;
  auto Tie() const { return std::tie(font, color, background, link, shift, whiteSpace); }
  friend bool operator<(const TextStyle& a, const TextStyle& b) { return a.Tie() < b.Tie(); }
};

struct InlineItem {
  enum Kind : uint8_t { kText, kBreak } kind = kText;
  uint32_t style = 0;
  uint32_t start = 0, end = 0;  // a stretch of BoxTree::text
};

enum class BoxKind : uint8_t { kBlock, kLines, kListItem, kTable, kCell, kCaption, kRule };

struct Box {
  BoxKind kind = BoxKind::kBlock;
  int32_t first = -1, last = -1, next = -1;
  int32_t marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;
  int32_t padding = 0;  // all four sides
  int32_t border = 0;
  Color borderColor = 0x808080;
  Color background = kTransparent;
  Align align = Align::kLeft;
  uint32_t strutStyle = 0;               // sets the least line height of its lines
  uint32_t itemStart = 0, itemEnd = 0;   // kLines: its inline items
  uint32_t markerStart = 0, markerEnd = 0;  // kListItem: a stretch of BoxTree::markers
  int32_t table = -1;                    // kTable: index into BoxTree::tables
  VAlign valign = VAlign::kMiddle;       // kCell
  bool noWrap = false;                   // kCell
  bool centred = false;                  // kTable, kRule
  bool hasWidth = false;
  Length width;                          // kTable, kCell, kRule
};

struct TableCell {
  int32_t box = -1;
  int32_t row = 0, column = 0, rowSpan = 1, columnSpan = 1;
};

struct TableInfo {
  int32_t spacing = 2;
  int32_t border = 0;
  std::vector<int32_t> captions;  // boxes laid out above the rows
  std::vector<TableCell> cells;   // in row order
  int32_t rows = 0, columns = 0;
};

struct BuildOptions {
  int fontSize = 16;
  Color textColor = 0x000000;
  Color linkColor = 0x0000EE;
  Color background = 0xFFFFFF;
};

struct BoxTree {
  std::vector<Box> boxes;  // boxes[0] is the page
  std::vector<InlineItem> items;
  std::vector<TextStyle> styles;
  std::vector<TableInfo> tables;
  std::u16string text;
  std::u16string markers;
  std::vector<std::u16string> links;  // href values as written
  std::vector<std::pair<std::u16string, uint32_t>> anchors;  // id or name → offset in text
  Color background = 0xFFFFFF;
};

BoxTree BuildBoxes(const Document& doc, const BuildOptions& options = {});
// Parses and builds in one step.
BoxTree BuildPage(std::u16string_view html, const BuildOptions& options = {});

// The page's text as a Windows control gives it: CR LF line ends, no-break spaces as spaces,
// soft hyphens and zero-width spaces left out.
std::u16string ExportText(std::u16string_view pageText);

}  // namespace html
