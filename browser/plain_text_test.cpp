#include "browser/plain_text.h"

#include <gtest/gtest.h>

TEST(PlainTextTest, WhatAReaderSees) {
  struct Case {
    const wchar_t* html;
    const wchar_t* text;
  } cases[] = {
      {L"", L""},
      {L"<div id=\"main\"><h2>统计</h2><p>a  b\n c</p></div>", L"统计\na b c"},
      {L"<table><tr><th>词</th><th>指数</th></tr><tr><td>手机</td><td>42</td></tr></table>", L"词\t指数\n手机\t42"},
      {L"x<br>y<br/>z", L"x\ny\nz"},
      {L"<ul><li>one<li>two</ul>", L"one\ntwo"},
      {L"a &amp; b &lt;c&gt; &#20013;&#x6587; &nbsp;&bogus; &copy", L"a & b <c> 中文  &bogus; &copy"},
      {L"<!-- hidden --><script>var x='<p>';</script><style>p{}</style>shown", L"shown"},
      {L"<head><title>T</title></head><body>B</body>", L"B"},
      {L"<pre>a\n  b</pre>", L"a\n  b"},
      {L"<img src=x alt=\"图\"><img alt='pic'>", L"图pic"},
      {L"<b>bold</b> <i>it</i>", L"bold it"},
      {L"unclosed <b", L"unclosed"},
      {L"<p>one</p></p></div><p>two", L"one\ntwo"},
      {L"&#0;&#xD800;&#99999999;", L"\xFFFD\xFFFD\xFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(HtmlToPlainText(c.html), c.text) << c.html;
}
