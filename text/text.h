// Text: a byte string in code page 936 that ends at its first zero byte.
// All operations are pure, count bytes, and return fresh values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

class Text {
 public:
  Text() = default;
  // Copies the bytes before the first zero byte; a null pointer is the empty text.
  Text(const char* zeroTerminated);  // NOLINT(google-explicit-constructor)
  // Copies the bytes of the view up to (not including) its first zero byte.
  explicit Text(std::string_view bytes);

  const char* c_str() const { return bytes_.c_str(); }
  std::string_view view() const { return bytes_; }
  operator std::string_view() const { return bytes_; }  // NOLINT(google-explicit-constructor)
  const std::string& str() const { return bytes_; }
  int32_t length() const { return static_cast<int32_t>(bytes_.size()); }
  bool empty() const { return bytes_.empty(); }
  unsigned char at(size_t offset) const { return static_cast<unsigned char>(bytes_[offset]); }

  friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

 private:
  friend Text TextFromTrustedBytes(std::string&& bytes);
  std::string bytes_;
};

// Builds a text from bytes already known to hold no zero byte (internal fast path).
Text TextFromTrustedBytes(std::string&& bytes);

int32_t TextLength(const Text& t);

// The parts one after the other, built in one allocation of the total length.
Text JoinTexts(std::initializer_list<std::string_view> parts);
template <typename... Parts>
Text JoinTexts(const Parts&... parts) {
  return JoinTexts({std::string_view(parts)...});
}

// -1, 0 or 1; bytes compare unsigned and a text that ends first is smaller.
int CompareTexts(const Text& a, const Text& b);
// 0 when equal with ASCII letters folded; otherwise the folded ordering.
int CompareTextsNoCase(const Text& a, const Text& b);

Text TextLeft(const Text& t, int32_t count);
Text TextRight(const Text& t, int32_t count);
Text TextMid(const Text& t, int32_t start, int32_t count);

// 1-based position of sub in t from `start` (1-based, optional), or -1. Two-byte aware.
int32_t FindText(const Text& t, const Text& sub, std::optional<int32_t> start = std::nullopt,
                 bool ignoreCase = false);

Text ToUpperCase(const Text& t);
Text ToLowerCase(const Text& t);

// Narrows full-width forms, then reads a decimal number with "." as the point whatever the locale.
double TextToNumber(const Text& t);
int32_t TruncateToInteger(double value);
Text IntegerToText(int32_t value);

Text ReplaceTextRange(const Text& t, int32_t start, int32_t count,
                      const std::optional<Text>& insert = std::nullopt);
Text ReplaceSubText(const Text& t, const Text& sub, const Text& replacement, bool caseSensitive);
Text BlankText(int32_t count);
