// Drawing helpers of the skin engine: colours, an off-screen canvas, fills and caption glyphs.
#pragma once

#include <windows.h>

#include "skinengine/frame_layout.h"
#include "skinengine/skin_format.h"
#include "win32/scoped.h"

inline COLORREF ToColorRef(skin::Rgb c) { return RGB(c.red, c.green, c.blue); }
// `a` moved `percent` of the way toward `b`.
COLORREF MixColours(COLORREF a, COLORREF b, int percent);

inline RECT ToRect(const skin::Box& b) { return {b.left, b.top, b.right, b.bottom}; }

// An off-screen bitmap compatible with `target`: drawn into, then copied in one go so nothing flickers.
class Canvas {
 public:
  Canvas(HDC target, int width, int height);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_.get(); }
  bool valid() const { return dc_ && bitmap_; }
  void CopyTo(HDC target) const { BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY); }

 private:
  int width_, height_;
  ScopedMemoryDC dc_;
  ScopedGdiObject bitmap_;
  ScopedSelectObject select_;
};

void FillSolid(HDC dc, const RECT& rc, COLORREF colour);
// A vertical gradient, one row at a time.
void FillVertical(HDC dc, const RECT& rc, COLORREF top, COLORREF bottom);
// A rectangle with rounded corners (radius 0: square), filled with a vertical gradient and outlined.
void FillRounded(HDC dc, const RECT& rc, int radius, COLORREF top, COLORREF bottom, COLORREF outline);
// An outline `thickness` pixels wide just inside `rc`.
void FrameSolid(HDC dc, const RECT& rc, int thickness, COLORREF colour);

enum class Glyph { Minimize, Maximize, Restore, Close };
void DrawGlyph(HDC dc, const RECT& box, Glyph glyph, COLORREF colour);
