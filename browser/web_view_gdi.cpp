#include "browser/web_view_gdi.h"

#include <algorithm>
#include <type_traits>
#include <vector>

static_assert(std::is_same_v<int32_t, INT>, "advances go to ExtTextOutW as they are");

GdiFonts::GdiFonts() : dc_(CreateCompatibleDC(nullptr)) {
  LOGFONTW lf = {};
  if (GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf) && lf.lfFaceName[0]) face_ = lf.lfFaceName;
  else face_ = L"SimSun";
  monoFace_ = L"NSimSun";
}

HFONT GdiFonts::Font(const html::FontKey& key) {
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return static_cast<HFONT>(it->second.get());
  LOGFONTW lf = {};
  lf.lfHeight = -key.size;
  lf.lfWeight = key.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = key.italic;
  lf.lfUnderline = key.underline;
  lf.lfStrikeOut = key.strike;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, key.mono ? monoFace_.c_str() : face_.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));  // stock: never deleted below
  else fonts_.emplace(key, ScopedGdiObject(font));
  return font;
}

void GdiFonts::Select(HFONT font) {
  if (font == selected_) return;
  SelectObject(dc_.get(), font);
  selected_ = font;
}

html::FontMetrics GdiFonts::Metrics(const html::FontKey& key) {
  Select(Font(key));
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc_.get(), &tm);
  html::FontMetrics m;
  m.ascent = tm.tmAscent;
  m.descent = tm.tmDescent;
  // Browsers leave about a fifth of the size between lines of CJK text.
  m.lineHeight = std::max<int>(tm.tmHeight + tm.tmExternalLeading, key.size * 5 / 4);
  return m;
}

int GdiFonts::Advance(const html::FontKey& key, char32_t cp) {
  Select(Font(key));
  wchar_t units[2];
  int n = 1;
  if (cp >= 0x10000) {
    units[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    n = 2;
  } else {
    units[0] = static_cast<wchar_t>(cp);
  }
  SIZE size = {};
  GetTextExtentPoint32W(dc_.get(), units, n, &size);
  return size.cx;
}

GdiPainter::GdiPainter(HDC dc, GdiFonts& fonts, html::FontCache& cache) : dc_(dc), fonts_(fonts), cache_(cache) {
  SetBkMode(dc_, TRANSPARENT);
  SetTextAlign(dc_, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
}

void GdiPainter::Fill(const html::Rect& r, html::Color color) {
  RECT rc = {r.x, r.y, r.x + r.w, r.y + r.h};
  SetBkColor(dc_, ToColorRef(color));
  ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void GdiPainter::DrawText(int32_t x, int32_t baseline, int32_t font, html::Color color, const char16_t* text,
                          size_t count, const int32_t* advances) {
  HFONT f = fonts_.Font(cache_.Key(font));
  if (f != selected_) {
    SelectObject(dc_, f);
    selected_ = f;
  }
  SetTextColor(dc_, ToColorRef(color));
  ExtTextOutW(dc_, x, baseline, 0, nullptr, reinterpret_cast<const wchar_t*>(text), static_cast<UINT>(count), advances);
}
