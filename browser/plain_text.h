// The text a reader sees in an HTML document: block breaks as line breaks, table cells separated by
// tabs, white space collapsed outside <pre>, entities decoded; comments, scripts, styles and the
// title are not shown, and an image stands for its alt text. Pure code.
#pragma once

#include <string>
#include <string_view>

std::wstring HtmlToPlainText(std::wstring_view html);
