#include "skinengine/frame_layout.h"

#include <algorithm>

namespace skin {

FrameLayout LayOutFrame(int width, int height, const SkinStyle& style, const FrameFlags& flags) {
  const int border = style.metric(Metric::BorderWidth);
  FrameLayout l;
  if (flags.iconic) {
    l.caption = {border, border, std::max(border, width - border), std::max(border, height - border)};
    l.client = {border, l.caption.bottom, border, l.caption.bottom};
  } else {
    const int captionBottom = std::min(height, border + style.metric(Metric::CaptionHeight));
    l.caption = {border, border, std::max(border, width - border), std::max(border, captionBottom)};
    l.client = {border, l.caption.bottom, l.caption.right, std::max(l.caption.bottom, height - border)};
  }

  const int bandHeight = l.caption.height();
  const int buttonHeight = std::min(style.metric(Metric::CaptionButtonHeight), bandHeight);
  const int buttonWidth = style.metric(Metric::CaptionButtonWidth);
  // Buttons as tall as the band sit flush with the frame; smaller ones keep an even margin.
  const int gap = (bandHeight - buttonHeight) / 2;
  const int spacing = gap > 0 ? 2 : 0;
  const int buttonTop = l.caption.top + gap;
  int right = l.caption.right - gap;
  const auto place = [&](bool present, Box& box) {
    if (!present) return;
    box = {right - buttonWidth, buttonTop, right, buttonTop + buttonHeight};
    right = box.left - spacing;
  };
  // A window without a system menu has no caption buttons at all.
  place(flags.closeBox, l.close);
  place(flags.closeBox && flags.maximizeBox, l.maximize);
  place(flags.closeBox && flags.minimizeBox, l.minimize);

  int titleLeft = l.caption.left + 8;
  if (flags.icon) {
    const int size = std::min(16, bandHeight);
    const int left = l.caption.left + std::max(4, gap + 2);
    const int top = l.caption.top + (bandHeight - size) / 2;
    l.icon = {left, top, left + size, top + size};
    titleLeft = l.icon.right + 5;
  }
  l.title = {titleLeft, l.caption.top, std::max(titleLeft, right - 4), l.caption.bottom};
  return l;
}

FrameHit HitFrame(const FrameLayout& l, int width, int height, const FrameFlags& flags, int x, int y) {
  if (x < 0 || y < 0 || x >= width || y >= height) return FrameHit::Nowhere;
  if (l.close.contains(x, y)) return FrameHit::Close;
  if (l.maximize.contains(x, y)) return FrameHit::Maximize;
  if (l.minimize.contains(x, y)) return FrameHit::Minimize;
  if (flags.iconic) return FrameHit::Caption;
  if (l.client.contains(x, y)) return FrameHit::Client;
  if (l.caption.contains(x, y)) {
    if (flags.icon && x < l.icon.right + 2) return FrameHit::SystemMenu;
    return FrameHit::Caption;
  }
  if (!flags.resizable) return FrameHit::Border;
  // The frame is often thin; a wider grip keeps the edges easy to catch.
  const int grip = std::max(6, l.caption.left);
  const bool left = x < grip, right = x >= width - grip, top = y < grip, bottom = y >= height - grip;
  if (top && left) return FrameHit::TopLeft;
  if (top && right) return FrameHit::TopRight;
  if (bottom && left) return FrameHit::BottomLeft;
  if (bottom && right) return FrameHit::BottomRight;
  if (left) return FrameHit::Left;
  if (right) return FrameHit::Right;
  if (top) return FrameHit::Top;
  return FrameHit::Bottom;
}

}  // namespace skin
