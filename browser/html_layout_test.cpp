#include <gtest/gtest.h>

#include "browser/html_paint.h"
#include "browser/html_test_support.h"

namespace html {
namespace {

using testing::FixedMeasurer;
using testing::LinesOf;
using testing::U;
using testing::Utf8;

// Pages at font size 10: Latin characters 5 pixels wide, CJK characters 10; body margin 8.
class Layout : public ::testing::Test {
 protected:
  void Lay(const std::string& html, int32_t contentWidth) {
    BuildOptions o;
    o.fontSize = 10;
    tree = BuildPage(U(html), o);
    layout = LayOutPage(tree, fonts, contentWidth + 16);
  }
  std::vector<std::string> Lines() { return LinesOf(tree, layout); }
  const PaintItem* RunOf(const std::string& word) {
    for (const PaintItem& it : layout.items) {
      if (it.kind == PaintItem::kText && Utf8(std::u16string_view(tree.text).substr(it.start, it.end - it.start)).find(word) != std::string::npos) return &it;
    }
    return nullptr;
  }
  FixedMeasurer measurer;
  FontCache fonts{measurer};
  BoxTree tree;
  PageLayout layout;
};

struct BreakCase {
  const char* html;
  int32_t width;
  std::vector<std::string> lines;
};

class LineBreaking : public Layout, public ::testing::WithParamInterface<BreakCase> {};

TEST_P(LineBreaking, BreaksWhereBrowsersDo) {
  Lay(GetParam().html, GetParam().width);
  EXPECT_EQ(Lines(), GetParam().lines) << GetParam().html;
}

INSTANTIATE_TEST_SUITE_P(Cases, LineBreaking, ::testing::Values(
    BreakCase{"aaa bbb ccc", 35, {"aaa bbb", "ccc"}},
    BreakCase{"aaa bbb ccc", 34, {"aaa", "bbb", "ccc"}},
    BreakCase{"aaaaaaaaaa b", 25, {"aaaaaaaaaa", "b"}},
    BreakCase{"中文中文中文", 25, {"中文", "中文", "中文"}},
    BreakCase{"中文，中文。", 25, {"中", "文，", "中", "文。"}},
    BreakCase{"（中文）中", 30, {"（中", "文）中"}},
    BreakCase{"abc中文def", 45, {"abc中文", "def"}},
    BreakCase{"<nobr>aaa bbb ccc</nobr>", 20, {"aaa bbb ccc"}},
    BreakCase{"<pre>aaa bbb\nccc</pre>", 10, {"aaa bbb", "ccc"}},
    BreakCase{"<b>aa</b><i>bb</i> cc", 20, {"aabb", "cc"}},
    BreakCase{"keyword-research tool", 50, {"keyword-", "research", "tool"}}));

TEST_F(Layout, EmptyLineFromBreakKeepsItsHeight) {
  Lay("a<br><br>b", 100);
  const PaintItem* a = RunOf("a");
  const PaintItem* b = RunOf("b");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(b->y - a->y, 2 * a->h);
}

TEST_F(Layout, TableColumnsTakeTheirPreferredWidthsWhenThereIsRoom) {
  Lay("<table cellspacing=0 cellpadding=0><tr><td>aaaa<td>bb</table>", 500);
  const PaintItem* a = RunOf("aaaa");
  const PaintItem* b = RunOf("bb");
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->x, 8);
  EXPECT_EQ(b->x, 8 + 20);
  EXPECT_EQ(a->y, b->y);
}

TEST_F(Layout, NarrowTablesShrinkColumnsTowardsTheirLongestWords) {
  // Preferred widths 40 and 20, least 10 and 20: 40 pixels share the difference.
  Lay("<table cellspacing=0 cellpadding=0><tr valign=top><td>aa bb cc dd<td>eeee</table>", 40);
  EXPECT_EQ(Lines(), (std::vector<std::string>{"aa", "bb", "cc", "dd", "eeee"}));
  const PaintItem* e = RunOf("eeee");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->x, 8 + 20);
  EXPECT_EQ(e->y, RunOf("aa")->y);
}

TEST_F(Layout, ExplicitTableWidthSpreadsTheExtra) {
  Lay("<table width=100 cellspacing=0 cellpadding=0><tr><td>aa<td>aa</table>", 500);
  const PaintItem* second = nullptr;
  for (const PaintItem& it : layout.items) {
    if (it.kind == PaintItem::kText) second = &it;
  }
  ASSERT_TRUE(second);
  EXPECT_EQ(second->x, 8 + 50);
}

TEST_F(Layout, ColumnSpansAndRowSpansFindTheirColumns) {
  Lay("<table cellspacing=0 cellpadding=0><tr><td rowspan=2>r<td>aa<td>bb<tr><td>cc<td>dd"
      "<tr><td colspan=2>wwwwwwwwwwwwwwwwwwww<td>e</table>", 500);
  const PaintItem* cc = RunOf("cc");
  const PaintItem* aa = RunOf("aa");
  const PaintItem* e = RunOf("e");
  ASSERT_TRUE(cc && aa && e);
  EXPECT_EQ(cc->x, aa->x);  // row 2 starts in column 2 beside the row-spanning cell
  EXPECT_GT(e->x, 8 + 100 - 1);
}

TEST_F(Layout, BordersFramesAndHeaderCells) {
  Lay("<table border=1><tr><th>h<td>d</table>", 500);
  int frames = 0;
  for (const PaintItem& it : layout.items) frames += it.kind == PaintItem::kFrame;
  EXPECT_EQ(frames, 3);  // the table and two cells
  const PaintItem* h = RunOf("h");
  const PaintItem* d = RunOf("d");
  ASSERT_TRUE(h && d);
  EXPECT_TRUE(fonts.Key(h->font).bold);
  EXPECT_FALSE(fonts.Key(d->font).bold);
}

TEST_F(Layout, LinksAreBlueAndUnderlinedAndColoursApply) {
  Lay("<a href='http://x/'>link</a> <font color=red>red</font> <span style='color:#00ff00;"
      "background-color:rgb(0,0,255);font-weight:bold'>green</span>",
      500);
  const PaintItem* link = RunOf("link");
  const PaintItem* red = RunOf("red");
  const PaintItem* green = RunOf("green");
  ASSERT_TRUE(link && red && green);
  EXPECT_EQ(link->color, 0x0000EEu);
  EXPECT_TRUE(fonts.Key(link->font).underline);
  EXPECT_EQ(link->link, 0);
  EXPECT_EQ(red->color, 0xFF0000u);
  EXPECT_EQ(green->color, 0x00FF00u);
  EXPECT_TRUE(fonts.Key(green->font).bold);
  bool blueFill = false;
  for (const PaintItem& it : layout.items) blueFill = blueFill || (it.kind == PaintItem::kFill && it.color == 0x0000FF);
  EXPECT_TRUE(blueFill);
}

TEST_F(Layout, TextAlignment) {
  Lay("<p style='text-align:center'>ab</p><p align=right>cd</p><center>ef</center>", 100);
  EXPECT_EQ(RunOf("ab")->x, 8 + 45);
  EXPECT_EQ(RunOf("cd")->x, 8 + 90);
  EXPECT_EQ(RunOf("ef")->x, 8 + 45);
}

TEST_F(Layout, HeadingsAreLargerAndBold) {
  Lay("<h1>big</h1>small", 500);
  EXPECT_EQ(fonts.Key(RunOf("big")->font).size, 20);
  EXPECT_TRUE(fonts.Key(RunOf("big")->font).bold);
  EXPECT_EQ(fonts.Key(RunOf("small")->font).size, 10);
}

TEST_F(Layout, ListMarkersSitLeftOfTheirItems) {
  Lay("<ul><li>one</ul>", 500);
  const PaintItem* one = RunOf("one");
  const PaintItem* marker = nullptr;
  for (const PaintItem& it : layout.items) {
    if (it.kind == PaintItem::kMarker) marker = &it;
  }
  ASSERT_TRUE(one && marker);
  EXPECT_LT(marker->x + marker->w, one->x);
  EXPECT_EQ(marker->baseline, one->baseline);
}

TEST_F(Layout, RuleSpansTheWidth) {
  Lay("a<hr>b", 100);
  int fills = 0;
  for (const PaintItem& it : layout.items) fills += it.kind == PaintItem::kFill && it.w == 100;
  EXPECT_EQ(fills, 2);
}

TEST_F(Layout, HitTestFindsOffsetsAndLinks) {
  Lay("aaa <a href=x>bbb</a><br>ccc", 500);
  const PaintItem* b = RunOf("bbb");
  ASSERT_TRUE(b);
  Hit hit = HitTest(layout, tree, fonts, b->x + 6, b->y + 2);
  EXPECT_EQ(hit.offset, 5u);  // between the first and second b
  EXPECT_EQ(hit.link, 0);
  Hit past = HitTest(layout, tree, fonts, 400, b->y + 2);
  EXPECT_EQ(past.offset, 7u);  // end of the first line
  EXPECT_EQ(past.link, -1);
  Hit below = HitTest(layout, tree, fonts, 0, 10000);
  EXPECT_EQ(below.offset, 8u);  // start of "ccc": the nearest line, at its left
  Hit aboveAll = HitTest(layout, tree, fonts, 0, -50);
  EXPECT_EQ(aboveAll.offset, 0u);
}

class Painted : public Painter {
 public:
  void Fill(const Rect&, Color c) override { fills.push_back(c); }
  void DrawText(int32_t, int32_t, int32_t, Color color, const char16_t* t, size_t n, const int32_t*) override {
    texts.push_back(Utf8(std::u16string_view(t, n)));
    colors.push_back(color);
  }
  std::vector<Color> fills, colors;
  std::vector<std::string> texts;
};

TEST_F(Layout, SelectionPaintsInHighlightColours) {
  Lay("abcdef", 500);
  Painted p;
  Selection sel;
  sel.start = 2;
  sel.end = 4;
  PaintPage(layout, tree, fonts, p, {0, 0, 500, 500}, 0, 0, sel);
  EXPECT_EQ(p.texts, (std::vector<std::string>{"ab", "cd", "ef"}));
  EXPECT_EQ(p.colors[1], sel.color);
  EXPECT_EQ(p.fills, std::vector<Color>{sel.background});
}

TEST_F(Layout, OnlyVisibleItemsArePainted) {
  std::string html;
  for (int i = 0; i < 2000; ++i) html += "<p>line " + std::to_string(i) + "</p>";
  Lay(html, 500);
  EXPECT_GT(layout.height, 2000 * 12);
  Painted p;
  PaintPage(layout, tree, fonts, p, {0, 10000, 500, 360}, 0, -10000, {});
  EXPECT_GT(p.texts.size(), 5u);
  EXPECT_LT(p.texts.size(), 30u);
}

TEST_F(Layout, AnchorTopsFollowTheText) {
  Lay("<p>a</p><p id=second>b</p>", 500);
  ASSERT_EQ(tree.anchors.size(), 1u);
  EXPECT_EQ(OffsetTop(layout, tree.anchors[0].second), RunOf("b")->y);
}

}  // namespace
}  // namespace html
