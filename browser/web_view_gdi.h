// GDI fonts, measurement and painting for the web view's layout.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "browser/html_paint.h"
#include "win32/scoped.h"

inline COLORREF ToColorRef(html::Color c) { return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }
inline html::Color FromColorRef(COLORREF c) {
  return (static_cast<html::Color>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// One HFONT per layout font, in the default GUI font's family (CJK-capable on Chinese systems).
class GdiFonts : public html::TextMeasurer {
 public:
  GdiFonts();
  HFONT Font(const html::FontKey& key);
  html::FontMetrics Metrics(const html::FontKey& key) override;
  int Advance(const html::FontKey& key, char32_t cp) override;

 private:
  void Select(HFONT font);
  std::map<html::FontKey, ScopedGdiObject> fonts_;
  std::wstring face_, monoFace_;
  ScopedMemoryDC dc_;  // declared after the fonts: deleted before them
  HFONT selected_ = nullptr;
};

class GdiPainter : public html::Painter {
 public:
  GdiPainter(HDC dc, GdiFonts& fonts, html::FontCache& cache);
  void Fill(const html::Rect& r, html::Color color) override;
  void DrawText(int32_t x, int32_t baseline, int32_t font, html::Color color, const char16_t* text, size_t count,
                const int32_t* advances) override;

 private:
  HDC dc_;
  GdiFonts& fonts_;
  html::FontCache& cache_;
  HFONT selected_ = nullptr;
};
