// Fonts as the layout sees them, and the measuring interface the platform provides.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace html {

struct FontKey {
  int16_t size = 16;  // pixel height of the em
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool mono = false;
  auto Tie() const { return std::tie(size, bold, italic, underline, strike, mono); }
  friend bool operator==(const FontKey& a, const FontKey& b) { return a.Tie() == b.Tie(); }
  friend bool operator<(const FontKey& a, const FontKey& b) { return a.Tie() < b.Tie(); }
};

struct FontMetrics {
  int ascent = 0;
  int descent = 0;
  int lineHeight = 0;  // ascent + descent + leading, at least ascent + descent
};

// The platform's text measurement (GDI in the control, fixed widths in tests).
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual FontMetrics Metrics(const FontKey& font) = 0;
  // The advance width of one character (a code point; surrogate pairs arrive combined).
  virtual int Advance(const FontKey& font, char32_t cp) = 0;
};

// Caches metrics and advances per font; fonts are numbered in the order first asked for.
class FontCache {
 public:
  explicit FontCache(TextMeasurer& measurer) : measurer_(measurer) {}
  int Index(const FontKey& key);
  const FontKey& Key(int font) const { return fonts_[font].key; }
  const FontMetrics& Metrics(int font) const { return fonts_[font].metrics; }
  int Advance(int font, char32_t cp);
  size_t size() const { return fonts_.size(); }

 private:
  static constexpr int kPageBits = 8;
  struct Entry {
    FontKey key;
    FontMetrics metrics;
    std::vector<std::unique_ptr<std::array<int32_t, 1 << kPageBits>>> pages;  // BMP, -1 = unknown
    std::map<char32_t, int> supplementary;
  };
  TextMeasurer& measurer_;
  std::vector<Entry> fonts_;
  std::map<FontKey, int> index_;
};

}  // namespace html
