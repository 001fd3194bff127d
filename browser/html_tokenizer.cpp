#include "browser/html_tokenizer.h"

#include "browser/html_chars.h"
#include "browser/html_entities.h"
#include "browser/html_tags.h"

namespace html {
namespace {

constexpr size_t kMaxAttributes = 256;  // keeps the duplicate check linear in the input

bool StartsMarkup(std::u16string_view s, size_t i) {
  if (i + 1 >= s.size()) return false;
  char16_t c = s[i + 1];
  return IsAsciiAlpha(c) || c == '/' || c == '!' || c == '?';
}

void AppendDecoded(std::u16string_view s, bool inAttribute, std::u16string& out) {
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == '&') {
      size_t used = DecodeCharacterReference(s.substr(i), inAttribute, out);
      if (used) {
        i += used;
        continue;
      }
    }
    out.push_back(s[i++]);
  }
}

}  // namespace

Tokenizer::Tokenizer(std::u16string_view input) {
  in_.reserve(input.size());
  for (size_t i = 0; i < input.size(); ++i) {
    char16_t c = input[i];
    if (c == '\r') {
      in_.push_back('\n');
      if (i + 1 < input.size() && input[i + 1] == '\n') ++i;
    } else if (c != 0) {
      in_.push_back(c);
    }
  }
}

void Tokenizer::Next(Token& t) {
  t.text.clear();
  for (;;) {
    if (pos_ >= in_.size()) {
      t.kind = Token::kEnd;
      return;
    }
    if (mode_ != Mode::kData) {
      ReadRaw(t);
      if (t.kind == Token::kText) return;
      continue;
    }
    if (in_[pos_] == '<' && StartsMarkup(in_, pos_)) {
      if (ReadMarkup(t)) {
        if (t.kind == Token::kStartTag) EnterRawMode(t);
        return;
      }
      continue;
    }
    // Character data up to the next markup.
    size_t start = pos_;
    while (pos_ < in_.size() && !(in_[pos_] == '<' && StartsMarkup(in_, pos_))) ++pos_;
    t.kind = Token::kText;
    AppendDecoded(std::u16string_view(in_).substr(start, pos_ - start), false, t.text);
    return;
  }
}

void Tokenizer::EnterRawMode(const Token& t) {
  Tag tag = LookupTag(t.name);
  if (tag == kTag_plaintext) {
    mode_ = Mode::kPlainText;
  } else if (HasFlag(tag, kRawText)) {
    mode_ = HasFlag(tag, kEscapableRaw) ? Mode::kEscapableRawText : Mode::kRawText;
    rawEndName_ = t.name;
  }
}

void Tokenizer::ReadRaw(Token& t) {
  size_t start = pos_;
  size_t end = in_.size();
  if (mode_ != Mode::kPlainText) {
    for (size_t i = pos_; i + 1 < in_.size(); ++i) {
      if (in_[i] != '<' || in_[i + 1] != '/') continue;
      std::u16string_view rest = std::u16string_view(in_).substr(i + 2);
      if (rest.size() < rawEndName_.size()) break;
      bool same = true;
      for (size_t k = 0; k < rawEndName_.size() && same; ++k) same = AsciiLower(rest[k]) == rawEndName_[k];
      if (!same) continue;
      if (rest.size() == rawEndName_.size()) {
        end = i;
        break;
      }
      char16_t after = rest[rawEndName_.size()];
      if (IsHtmlSpace(after) || after == '/' || after == '>') {
        end = i;
        break;
      }
    }
    mode_ = Mode::kData;  // the end tag (if any) is read in data mode
  }
  pos_ = end;
  t.kind = Token::kText;
  std::u16string_view raw = std::u16string_view(in_).substr(start, end - start);
  if (mode_ == Mode::kData && raw.empty()) {
    t.kind = Token::kEnd;  // nothing before the end tag: let Next read on
    return;
  }
  bool escapable = false;
  // Title and textarea decode references; the mode was already reset, so ask the name.
  if (!rawEndName_.empty()) escapable = HasFlag(LookupTag(rawEndName_), kEscapableRaw);
  if (escapable) AppendDecoded(raw, false, t.text); else t.text.assign(raw);
}

void Tokenizer::SkipTo(char16_t c) {
  while (pos_ < in_.size() && in_[pos_] != c) ++pos_;
  if (pos_ < in_.size()) ++pos_;
}

bool Tokenizer::ReadMarkup(Token& t) {
  char16_t next = in_[pos_ + 1];
  if (next == '!') {
    std::u16string_view rest = std::u16string_view(in_).substr(pos_ + 2);
    if (rest.substr(0, 2) == u"--") {
      // Comment: up to "-->" (or "--!>"); "<!-->" and "<!--->" end at once.
      size_t i = pos_ + 4;
      if (i < in_.size() && in_[i] == '>') { pos_ = i + 1; return false; }
      if (i + 1 < in_.size() && in_[i] == '-' && in_[i + 1] == '>') { pos_ = i + 2; return false; }
      size_t close = in_.find(u"--", i);
      while (close != std::u16string::npos) {
        if (close + 2 < in_.size() && in_[close + 2] == '>') { pos_ = close + 3; return false; }
        if (close + 3 < in_.size() && in_[close + 2] == '!' && in_[close + 3] == '>') { pos_ = close + 4; return false; }
        close = in_.find(u"--", close + 1);
      }
      pos_ = in_.size();
      return false;
    }
    SkipTo('>');  // doctype, CDATA and other declarations
    return false;
  }
  if (next == '?') {
    SkipTo('>');
    return false;
  }
  if (next == '/') {
    if (pos_ + 2 < in_.size() && IsAsciiAlpha(in_[pos_ + 2])) {
      pos_ += 2;
      return ReadTag(t, true);
    }
    pos_ += 2;
    if (pos_ < in_.size() && in_[pos_] == '>') { ++pos_; return false; }  // "</>"
    SkipTo('>');
    return false;
  }
  pos_ += 1;
  return ReadTag(t, false);
}

bool Tokenizer::ReadTag(Token& t, bool end) {
  t.kind = end ? Token::kEndTag : Token::kStartTag;
  t.name.clear();
  t.attributes.clear();
  t.selfClosing = false;
  while (pos_ < in_.size() && !IsHtmlSpace(in_[pos_]) && in_[pos_] != '/' && in_[pos_] != '>') {
    t.name.push_back(AsciiLower(in_[pos_++]));
  }
  ReadAttributes(t);
  if (pos_ > in_.size()) {  // the input ended inside the tag: browsers drop it
    pos_ = in_.size();
    return false;
  }
  if (end) t.attributes.clear();
  return true;
}

void Tokenizer::ReadAttributes(Token& t) {
  for (;;) {
    while (pos_ < in_.size() && (IsHtmlSpace(in_[pos_]) || in_[pos_] == '/')) {
      if (in_[pos_] == '/' && pos_ + 1 < in_.size() && in_[pos_ + 1] == '>') t.selfClosing = true;
      ++pos_;
    }
    if (pos_ >= in_.size()) {
      pos_ = in_.size() + 1;  // unterminated
      return;
    }
    if (in_[pos_] == '>') {
      ++pos_;
      return;
    }
    t.selfClosing = false;
    Attribute a;
    a.name.push_back(AsciiLower(in_[pos_++]));  // the first character may even be '='
    while (pos_ < in_.size() && !IsHtmlSpace(in_[pos_]) && in_[pos_] != '/' && in_[pos_] != '>' &&
           in_[pos_] != '=') {
      a.name.push_back(AsciiLower(in_[pos_++]));
    }
    size_t save = pos_;
    while (pos_ < in_.size() && IsHtmlSpace(in_[pos_])) ++pos_;
    if (pos_ < in_.size() && in_[pos_] == '=') {
      ++pos_;
      while (pos_ < in_.size() && IsHtmlSpace(in_[pos_])) ++pos_;
      size_t start, stop;
      if (pos_ < in_.size() && (in_[pos_] == '"' || in_[pos_] == '\'')) {
        char16_t quote = in_[pos_++];
        start = pos_;
        while (pos_ < in_.size() && in_[pos_] != quote) ++pos_;
        if (pos_ >= in_.size()) {
          pos_ = in_.size() + 1;
          return;
        }
        stop = pos_++;
      } else {
        start = pos_;
        while (pos_ < in_.size() && !IsHtmlSpace(in_[pos_]) && in_[pos_] != '>') ++pos_;
        stop = pos_;
      }
      AppendDecoded(std::u16string_view(in_).substr(start, stop - start), true, a.value);
    } else {
      pos_ = save;
    }
    if (t.attributes.size() >= kMaxAttributes) continue;
    bool duplicate = false;
    for (const Attribute& other : t.attributes) duplicate = duplicate || other.name == a.name;
    if (!duplicate) t.attributes.push_back(std::move(a));
  }
}

}  // namespace html
