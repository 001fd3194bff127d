#include "browser/plain_text.h"

#include <cwctype>

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

std::wstring Lower(std::wstring_view s) {
  std::wstring out(s);
  for (wchar_t& c : out)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
  return out;
}

bool IsBlockTag(const std::wstring& name) {
  static const wchar_t* const kBlocks[] = {L"p",  L"div", L"h1",    L"h2",    L"h3",   L"h4",    L"h5",
                                           L"h6", L"br",  L"tr",    L"li",    L"table", L"ul",  L"ol",
                                           L"hr", L"pre", L"form",  L"blockquote", L"dl", L"dt", L"dd",
                                           L"center", L"body", L"caption", L"thead", L"tbody"};
  for (const wchar_t* b : kBlocks)
    if (name == b) return true;
  return false;
}

void AppendCodePoint(std::wstring& out, unsigned long cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
}

// Decodes the entity at html[i] == '&'; returns the characters consumed (0 when it is no entity).
size_t DecodeEntity(std::wstring_view html, size_t i, std::wstring& out) {
  const size_t semi = html.find(L';', i);
  if (semi == std::wstring_view::npos || semi - i > 10) return 0;
  const std::wstring name(html.substr(i + 1, semi - i - 1));
  if (name.size() > 1 && name[0] == L'#') {
    const bool hex = name[1] == L'x' || name[1] == L'X';
    unsigned long cp = 0;
    for (size_t k = hex ? 2 : 1; k < name.size(); ++k) {
      const wchar_t c = name[k];
      int digit = -1;
      if (c >= L'0' && c <= L'9') digit = c - L'0';
      else if (hex && c >= L'a' && c <= L'f') digit = c - L'a' + 10;
      else if (hex && c >= L'A' && c <= L'F') digit = c - L'A' + 10;
      if (digit < 0) return 0;
      cp = cp * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
      if (cp > 0x10FFFF) cp = 0x110000;
    }
    AppendCodePoint(out, cp);
    return semi - i + 1;
  }
  static const struct {
    const wchar_t* name;
    wchar_t c;
  } kNamed[] = {{L"amp", L'&'},     {L"lt", L'<'},      {L"gt", L'>'},     {L"quot", L'"'},
                {L"apos", L'\''},   {L"nbsp", L' '},    {L"copy", 0xA9},   {L"reg", 0xAE},
                {L"middot", 0xB7},  {L"times", 0xD7},   {L"yen", 0xA5},    {L"hellip", 0x2026},
                {L"mdash", 0x2014}, {L"ndash", 0x2013}, {L"ldquo", 0x201C}, {L"rdquo", 0x201D}};
  for (const auto& e : kNamed) {
    if (name == e.name) {
      out.push_back(e.c);
      return semi - i + 1;
    }
  }
  return 0;
}

class TextBuilder {
 public:
  void text(wchar_t c, bool preformatted) {
    if (!preformatted && IsSpace(c)) {
      pendingSpace_ = true;
      return;
    }
    if (pendingSpace_ && !atLineStart()) out_.push_back(L' ');
    pendingSpace_ = false;
    out_.push_back(c == L'\r' ? L'\n' : c);
  }
  void lineBreak() {
    pendingSpace_ = false;
    while (!out_.empty() && out_.back() == L' ') out_.pop_back();
    if (!out_.empty() && out_.back() != L'\n') out_.push_back(L'\n');
  }
  void cell(bool firstInRow) {
    pendingSpace_ = false;
    if (!firstInRow) out_.push_back(L'\t');
  }
  std::wstring finish() {
    lineBreak();
    while (!out_.empty() && out_.back() == L'\n') out_.pop_back();
    return out_;
  }

 private:
  bool atLineStart() const { return out_.empty() || out_.back() == L'\n' || out_.back() == L'\t'; }
  std::wstring out_;
  bool pendingSpace_ = false;
};

// The value of an attribute in a tag's inside (without the brackets), or empty.
std::wstring AttributeValue(std::wstring_view tag, const wchar_t* attribute) {
  const std::wstring lower = Lower(tag);
  const std::wstring key = std::wstring(attribute) + L"=";
  size_t at = lower.find(key);
  if (at == std::wstring::npos) return {};
  at += key.size();
  if (at < tag.size() && (tag[at] == L'"' || tag[at] == L'\'')) {
    const size_t end = tag.find(tag[at], at + 1);
    return std::wstring(tag.substr(at + 1, end == std::wstring_view::npos ? std::wstring_view::npos : end - at - 1));
  }
  size_t end = at;
  while (end < tag.size() && !IsSpace(tag[end])) ++end;
  return std::wstring(tag.substr(at, end - at));
}

}  // namespace

std::wstring HtmlToPlainText(std::wstring_view html) {
  TextBuilder out;
  int preDepth = 0;
  bool firstCellInRow = true;
  size_t i = 0;
  while (i < html.size()) {
    const wchar_t c = html[i];
    if (c == L'&') {
      std::wstring decoded;
      if (const size_t used = DecodeEntity(html, i, decoded)) {
        for (wchar_t d : decoded) out.text(d == 0xA0 ? L' ' : d, preDepth > 0 || d == L' ');
        i += used;
        continue;
      }
    }
    if (c != L'<') {
      out.text(c, preDepth > 0);
      ++i;
      continue;
    }
    if (html.substr(i, 4) == L"<!--") {
      const size_t end = html.find(L"-->", i + 4);
      i = end == std::wstring_view::npos ? html.size() : end + 3;
      continue;
    }
    const size_t close = html.find(L'>', i + 1);
    if (close == std::wstring_view::npos) break;  // an unfinished tag at the end shows nothing
    const std::wstring_view inside = html.substr(i + 1, close - i - 1);
    i = close + 1;
    const bool endTag = !inside.empty() && inside[0] == L'/';
    size_t nameEnd = endTag ? 1 : 0;
    while (nameEnd < inside.size() && !IsSpace(inside[nameEnd]) && inside[nameEnd] != L'/') ++nameEnd;
    const std::wstring name = Lower(inside.substr(endTag ? 1 : 0, nameEnd - (endTag ? 1 : 0)));
    if (name.empty() || name[0] == L'!' || name[0] == L'?') continue;

    if (!endTag && (name == L"script" || name == L"style" || name == L"title")) {
      const std::wstring endName = L"</" + name;
      const std::wstring rest = Lower(html.substr(i));
      const size_t end = rest.find(endName);
      if (end == std::wstring::npos) break;
      const size_t gt = rest.find(L'>', end);
      i += gt == std::wstring::npos ? rest.size() : gt + 1;
      continue;
    }
    if (name == L"pre") preDepth = endTag ? (preDepth > 0 ? preDepth - 1 : 0) : preDepth + 1;
    if (name == L"img" && !endTag) {
      for (wchar_t a : AttributeValue(inside, L"alt")) out.text(a, false);
      continue;
    }
    if ((name == L"td" || name == L"th") && !endTag) {
      out.cell(firstCellInRow);
      firstCellInRow = false;
      continue;
    }
    if (name == L"tr") firstCellInRow = true;
    if (IsBlockTag(name)) out.lineBreak();
  }
  return out.finish();
}
