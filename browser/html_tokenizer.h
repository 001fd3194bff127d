// Splits HTML text into start tags, end tags and character data, tolerant as browsers are: unquoted,
// single- and double-quoted attribute values, character references, comments, doctypes and
// processing instructions skipped, raw text (script, style, title, textarea, ...) up to its end tag.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace html {

struct Attribute {
  std::u16string name;   // lower case
  std::u16string value;  // references decoded
};

struct Token {
  enum Kind { kStartTag, kEndTag, kText, kEnd } kind = kEnd;
  std::u16string name;  // tags: lower case
  std::vector<Attribute> attributes;
  bool selfClosing = false;
  std::u16string text;  // kText
};

class Tokenizer {
 public:
  // Line breaks are normalised to '\n' and NUL characters dropped first.
  explicit Tokenizer(std::u16string_view input);
  // Fills `t` with the next token; kEnd at the end of the input.
  void Next(Token& t);

 private:
  enum class Mode { kData, kRawText, kEscapableRawText, kPlainText };
  bool ReadMarkup(Token& t);  // at '<': a tag (true) or something skipped (false)
  bool ReadTag(Token& t, bool end);
  void ReadAttributes(Token& t);
  void SkipTo(char16_t c);
  void ReadRaw(Token& t);
  void EnterRawMode(const Token& t);

  std::u16string in_;
  size_t pos_ = 0;
  Mode mode_ = Mode::kData;
  std::u16string rawEndName_;
};

}  // namespace html
