#include "skinengine/gdi.h"

#include <algorithm>

COLORREF MixColours(COLORREF a, COLORREF b, int percent) {
  const auto mix = [percent](int x, int y) { return x + (y - x) * percent / 100; };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

Canvas::Canvas(HDC target, int width, int height)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(target)),
      bitmap_(CreateCompatibleBitmap(target, std::max(1, width), std::max(1, height))),
      select_(dc_.get(), bitmap_.get()) {}

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void FillVertical(HDC dc, const RECT& rc, COLORREF top, COLORREF bottom) {
  const int rows = rc.bottom - rc.top;
  for (int y = 0; y < rows; ++y) {
    const RECT row = {rc.left, rc.top + y, rc.right, rc.top + y + 1};
    FillSolid(dc, row, MixColours(top, bottom, rows > 1 ? y * 100 / (rows - 1) : 0));
  }
}

void FillRounded(HDC dc, const RECT& rc, int radius, COLORREF top, COLORREF bottom, COLORREF outline) {
  if (radius <= 0) {
    FillVertical(dc, rc, top, bottom);
    FrameSolid(dc, rc, 1, outline);
    return;
  }
  const int diameter = radius * 2;
  ScopedGdiObject shape(CreateRoundRectRgn(rc.left, rc.top, rc.right + 1, rc.bottom + 1, diameter, diameter));
  SelectClipRgn(dc, static_cast<HRGN>(shape.get()));
  FillVertical(dc, rc, top, bottom);
  SelectClipRgn(dc, nullptr);
  ScopedGdiObject pen(CreatePen(PS_SOLID, 1, outline));
  ScopedSelectObject selectPen(dc, pen.get());
  ScopedSelectObject selectBrush(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, rc.left, rc.top, rc.right, rc.bottom, diameter, diameter);
}

void FrameSolid(HDC dc, const RECT& rc, int thickness, COLORREF colour) {
  for (int i = 0; i < thickness; ++i) {
    const RECT r = {rc.left + i, rc.top + i, rc.right - i, rc.bottom - i};
    if (r.right <= r.left || r.bottom <= r.top) return;
    FillSolid(dc, {r.left, r.top, r.right, r.top + 1}, colour);
    FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
    FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, colour);
    FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, colour);
  }
}

namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

}  // namespace

void DrawGlyph(HDC dc, const RECT& box, Glyph glyph, COLORREF colour) {
  // Glyphs about 10 px for a 22 px button, drawn with 1 px lines doubled for weight.
  const int size = std::clamp(static_cast<int>(std::min(box.right - box.left, box.bottom - box.top)) * 9 / 20, 6, 14);
  const int left = (box.left + box.right - size) / 2;
  const int top = (box.top + box.bottom - size) / 2;
  const int right = left + size, bottom = top + size;
  ScopedGdiObject pen(CreatePen(PS_SOLID, 1, colour));
  ScopedSelectObject selectPen(dc, pen.get());
  switch (glyph) {
    case Glyph::Minimize:
      FillSolid(dc, {left, bottom - 2, right, bottom}, colour);
      break;
    case Glyph::Maximize:
      FrameSolid(dc, {left, top, right, bottom}, 1, colour);
      FillSolid(dc, {left, top, right, top + 2}, colour);
      break;
    case Glyph::Restore: {
      // A front window and, behind it, the top and right edges of a second one.
      const int d = std::max(2, size / 4);
      FillSolid(dc, {left + d, top, right, top + 2}, colour);
      FillSolid(dc, {right - 1, top, right, bottom - d}, colour);
      FillSolid(dc, {left + d, top, left + d + 1, top + d}, colour);
      FillSolid(dc, {right - d, bottom - d - 1, right, bottom - d}, colour);
      FrameSolid(dc, {left, top + d, right - d, bottom}, 1, colour);
      FillSolid(dc, {left, top + d, right - d, top + d + 2}, colour);
      break;
    }
    case Glyph::Close:
      for (int shift = 0; shift < 2; ++shift) {
        // LineTo leaves out the end point: each stroke covers `size` pixels.
        Line(dc, left + shift, top, right + shift, bottom);
        Line(dc, right - 1 + shift, top, left - 1 + shift, bottom);
      }
      break;
  }
}
