#include <gtest/gtest.h>

#include "browser/html_document.h"
#include "browser/html_test_support.h"

namespace html {
namespace {

using testing::U;
using testing::Utf8;

// The body's content as markup, every element closed where the tree closes it.
void Outline(const Document& doc, int32_t node, std::string& out) {
  for (int32_t c = doc.nodes[node].first; c >= 0; c = doc.nodes[c].next) {
    const Node& n = doc.nodes[c];
    if (n.tag == kTagText) {
      out += Utf8(doc.TextOf(n));
      continue;
    }
    std::string name = n.tag >= kTagFirstCustom ? (n.tag == kTagFirstCustom ? "?" : Utf8(doc.customNames[n.tag - kTagFirstCustom - 1])) : TagName(n.tag);
    out += "<" + name + ">";
    Outline(doc, c, out);
    if (!HasFlag(n.tag, kVoid)) out += "</" + name + ">";
  }
}

std::string OutlineOf(const std::string& html) {
  Document doc = ParseHtml(U(html));
  std::string out;
  Outline(doc, doc.Find(kTag_body), out);
  return out;
}

struct TreeCase {
  const char* html;
  const char* outline;
};

class TreeBuilding : public ::testing::TestWithParam<TreeCase> {};

TEST_P(TreeBuilding, RecoversAsBrowsersDo) {
  EXPECT_EQ(OutlineOf(GetParam().html), GetParam().outline) << GetParam().html;
}

INSTANTIATE_TEST_SUITE_P(Cases, TreeBuilding, ::testing::Values(
    TreeCase{"<p>a<p>b", "<p>a</p><p>b</p>"},
    TreeCase{"<p>a<div>b</div>c", "<p>a</p><div>b</div>c"},
    TreeCase{"<ul><li>a<li>b</ul>c", "<ul><li>a</li><li>b</li></ul>c"},
    TreeCase{"<ul><li>a<ul><li>b</ul><li>c</ul>", "<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul>"},
    TreeCase{"<dl><dt>a<dd>b<dt>c</dl>", "<dl><dt>a</dt><dd>b</dd><dt>c</dt></dl>"},
    TreeCase{"<h1>a<h2>b", "<h1>a</h1><h2>b</h2>"},
    TreeCase{"<table><td>x</table>", "<table><tr><td>x</td></tr></table>"},
    TreeCase{"<table><tr><td>a<td>b<tr><th>c</table>",
             "<table><tr><td>a</td><td>b</td></tr><tr><th>c</th></tr></table>"},
    TreeCase{"<table><tbody><tr><td>a</tbody></table>", "<table><tbody><tr><td>a</td></tr></tbody></table>"},
    TreeCase{"<table>x<tr><td>y</table>", "x<table><tr><td>y</td></tr></table>"},
    TreeCase{"<table><tr><b>x</b><td>y</table>", "<b>x</b><table><tr><td>y</td></tr></table>"},
    TreeCase{"<table><tr><td><table><tr><td>in</table>out</table>",
             "<table><tr><td><table><tr><td>in</td></tr></table>out</td></tr></table>"},
    TreeCase{"<td>a</td><tr>b", "ab"},
    TreeCase{"<b>1<i>2</b>3</i>", "<b>1<i>2</i></b><i>3</i>"},
    TreeCase{"<p><b>x<p>y", "<p><b>x</b></p><p><b>y</b></p>"},
    TreeCase{"<b>1<p>2</b>3</p>4", "<b>1<p>23</p></b>4"},
    TreeCase{"<a href=1>x<a href=2>y", "<a>x</a><a>y</a>"},
    TreeCase{"</p>x", "<p></p>x"},
    TreeCase{"a</span></div></b>b", "ab"},
    TreeCase{"<span><div>a</span>b</div>", "<span><div>ab</div></span>"},
    TreeCase{"a</br>b", "a<br>b"},
    TreeCase{"<DIV ID=main>X</DIV>", "<div>X</div>"},
    TreeCase{"<foo>a<bar>b</foo>c", "<foo>a<bar>b</bar></foo>c"},
    TreeCase{"a<!-- <b>x</b> -->b<!---->c<!-->d", "abcd"},
    TreeCase{"<!DOCTYPE html><?xml x?>a<![CDATA[b]]>c", "ac"},
    TreeCase{"<html><head><title>t</title></head><body>x</body></html>", "<title>t</title>x"},
    TreeCase{"<script>if (a<b && c>d) {}</script>x", "<script>if (a<b && c>d) {}</script>x"},
    TreeCase{"<style>p{}</STYLE >x", "<style>p{}</style>x"},
    TreeCase{"<script>never closed", "<script>never closed</script>"},
    TreeCase{"<pre>\nx\n</pre>", "<pre>x\n</pre>"},
    TreeCase{"a<b", "a"},
    TreeCase{"a <b c='1", "a "},
    TreeCase{"1 < 2 <3", "1 < 2 <3"},
    TreeCase{"x</>y</ z>w", "xyw"},
    TreeCase{"<p>a<hr>b", "<p>a</p><hr>b"},
    TreeCase{"<img src=a.png alt=x/>", "<img>"}));

TEST(Tokenizer, ReadsAttributesQuotedOrNot) {
  Tokenizer t(U("<a HREF=x.html title='it \"is\"' data-x=\"q&amp;r\" flag href=dup>"));
  Token tok;
  t.Next(tok);
  ASSERT_EQ(tok.kind, Token::kStartTag);
  EXPECT_EQ(Utf8(tok.name), "a");
  ASSERT_EQ(tok.attributes.size(), 4u);
  EXPECT_EQ(Utf8(tok.attributes[0].name), "href");
  EXPECT_EQ(Utf8(tok.attributes[0].value), "x.html");
  EXPECT_EQ(Utf8(tok.attributes[1].value), "it \"is\"");
  EXPECT_EQ(Utf8(tok.attributes[2].value), "q&r");
  EXPECT_EQ(Utf8(tok.attributes[3].name), "flag");
  EXPECT_EQ(Utf8(tok.attributes[3].value), "");
}

struct EntityCase {
  const char* html;
  const char* text;
};

class References : public ::testing::TestWithParam<EntityCase> {};

TEST_P(References, DecodeInText) {
  Document doc = ParseHtml(U(GetParam().html));
  EXPECT_EQ(Utf8(doc.chars), GetParam().text) << GetParam().html;
}

INSTANTIATE_TEST_SUITE_P(Cases, References, ::testing::Values(
    EntityCase{"&lt;&amp;&gt;&quot;&apos;", "<&>\"'"},
    EntityCase{"&copy; &reg; &trade; &hellip; &mdash; &euro;", "© ® ™ … — €"},
    EntityCase{"&#20013;&#x6587;&#X4E2D;", "中文中"},
    EntityCase{"&#128512;", "\xF0\x9F\x98\x80"},
    EntityCase{"&#0;&#xD800;&#1114112;&#99999999999;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    EntityCase{"&#150;&#x80;", "–€"},
    EntityCase{"&copy2023 &ampx &notit; &nbsp", "©2023 &x ¬it; \xC2\xA0"},
    EntityCase{"&unknown; & &; &#; &#x;", "&unknown; & &; &#; &#x;"},
    EntityCase{"AT&T", "AT&T"}));

TEST(References, AttributeValuesKeepAmbiguousAmpersands) {
  Document doc = ParseHtml(U("<a href='?a=1&copy=2&amp;b=3&lt'>x</a>"));
  const std::u16string* href = doc.Attr(doc.Find(kTag_a), "href");
  ASSERT_NE(href, nullptr);
  EXPECT_EQ(Utf8(*href), "?a=1&copy=2&b=3<");
}

TEST(TreeBuilding, DeepNestingStaysBounded) {
  std::string html;
  for (int i = 0; i < 20000; ++i) html += "<div><b>";
  html += "x";
  Document doc = ParseHtml(U(html));
  int depth = 0;
  for (int32_t n = doc.nodes.size() - 1; n >= 0; n = doc.nodes[n].parent) ++depth;
  EXPECT_LE(depth, 210);
  EXPECT_EQ(Utf8(doc.chars), "x");
}

TEST(TreeBuilding, ManyMisnestedFormattingTagsStayLinear) {
  std::string html;
  for (int i = 0; i < 5000; ++i) html += "<b><i>x</b>y</i>";
  Document doc = ParseHtml(U(html));
  EXPECT_LT(doc.nodes.size(), 5000u * 8);
}

}  // namespace
}  // namespace html
