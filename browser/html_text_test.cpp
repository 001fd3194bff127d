#include <gtest/gtest.h>

#include "browser/html_test_support.h"

namespace html {
namespace {

using testing::PageText;
using testing::U;
using testing::Utf8;

struct TextCase {
  const char* html;
  const char* text;
};

class PageTextExtraction : public ::testing::TestWithParam<TextCase> {};

TEST_P(PageTextExtraction, GivesShownText) { EXPECT_EQ(PageText(GetParam().html), GetParam().text) << GetParam().html; }

INSTANTIATE_TEST_SUITE_P(Cases, PageTextExtraction, ::testing::Values(
    TextCase{"", ""},
    TextCase{"  a  b\n\t c  ", "a b c"},
    TextCase{"<p>a</p><p>b</p>", "a\nb"},
    TextCase{"<div><div>a</div></div><div>b</div>", "a\nb"},
    TextCase{"a<br>b", "a\nb"},
    TextCase{"a<br><br>b", "a\n\nb"},
    TextCase{"a <br> b", "a\nb"},
    TextCase{"<p>a<br></p><p>b</p>", "a\nb"},
    TextCase{"<b>a</b> <i>b</i>", "a b"},
    TextCase{"<b>a </b><i> b</i>", "a b"},
    TextCase{"<ul><li>one<li>two</ul>after", "one\ntwo\nafter"},
    TextCase{"<h1>Title</h1>text", "Title\ntext"},
    TextCase{"<table><tr><td>a<td>b<tr><td>c<td>d</table>", "a\tb\nc\td"},
    TextCase{"x<table><tr><td>a</table>y", "x\na\ny"},
    TextCase{"<table><tr><td><td>b<tr><td>c<td></table>", "\tb\nc\t"},
    TextCase{"<table><tr><td><p>a</p><p>b</p><td>c</table>", "a\nb\tc"},
    TextCase{"<table><tr><th> h1 </th><th>h2</th></tr><tr><td>1</td><td> 2 </td></tr></table>", "h1\th2\n1\t2"},
    TextCase{"<table><tr><td>a<table><tr><td>b<td>c</table></table>", "a\nb\tc"},
    TextCase{"<table><tr><td><table><tr><td>b</table><td>c</table>", "b\tc"},
    TextCase{"<pre>a  b\n c\n</pre>d", "a  b\n c\nd"},
    TextCase{"<img src=x alt='pic'> x <img src=y>", "pic x"},
    TextCase{"<script>x</script><style>y</style>z<!--c--><title>t</title>", "z"},
    TextCase{"a<span style='display:none'>hidden</span>b", "ab"},
    TextCase{"<select><option>o</select>z", "z"},
    TextCase{"中文 字", "中文 字"},
    TextCase{"a&nbsp;&nbsp;b", "a\xC2\xA0\xC2\xA0" "b"},
    TextCase{"<p>a</p>\n\n<p>\n</p>\n<p>b</p>", "a\nb"}));

TEST(PageTextExtraction, ExportUsesWindowsLineEndsAndPlainSpaces) {
  BoxTree t = BuildPage(U("a<br>b&nbsp;c&shy;d&#x200B;e"));
  EXPECT_EQ(Utf8(ExportText(t.text)), "a\r\nb cde");
}

TEST(PageTextExtraction, ListMarkersAreNotText) {
  BoxTree t = BuildPage(U("<ol start=3><li>a<li>b</ol><ul><li>c</ul>"));
  EXPECT_EQ(Utf8(t.text), "a\nb\nc");
  EXPECT_EQ(Utf8(t.markers), "3.4.\xE2\x80\xA2");
}

TEST(PageTextExtraction, LinksAndAnchorsAreRecorded) {
  BoxTree t = BuildPage(U("<a href='http://example.com/'>x</a> <a name=top>y</a><p id=p2>z"));
  ASSERT_EQ(t.links.size(), 1u);
  EXPECT_EQ(Utf8(t.links[0]), "http://example.com/");
  ASSERT_EQ(t.anchors.size(), 2u);
  EXPECT_EQ(Utf8(t.anchors[0].first), "top");
  EXPECT_EQ(t.text.substr(t.anchors[0].second, 1), u"y");
  EXPECT_EQ(t.text.substr(t.anchors[1].second, 1), u"z");
}

}  // namespace
}  // namespace html
