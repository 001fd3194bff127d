// Where a skinned top-level window's frame parts lie, and which part a point hits. Pure geometry in
// window coordinates (0, 0 is the window's top-left corner), so it is tested on the host.
#pragma once

#include "skinengine/skin_format.h"

namespace skin {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  friend bool operator==(const Box&, const Box&) = default;
};

struct FrameFlags {
  bool minimizeBox = false;
  bool maximizeBox = false;
  bool closeBox = false;  // the system menu's close
  bool icon = false;
  bool resizable = false;
  bool iconic = false;  // minimized: the whole window is its caption
};

struct FrameLayout {
  Box client;
  Box caption;
  Box icon;
  Box title;
  Box minimize, maximize, close;  // empty when the window has no such button
};

FrameLayout LayOutFrame(int width, int height, const SkinStyle& style, const FrameFlags& flags);

enum class FrameHit {
  Nowhere, Client, Caption, SystemMenu, Minimize, Maximize, Close, Border,
  Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight,
};

FrameHit HitFrame(const FrameLayout& layout, int width, int height, const FrameFlags& flags, int x, int y);

}  // namespace skin
