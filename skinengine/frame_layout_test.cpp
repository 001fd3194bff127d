#include "skinengine/frame_layout.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

SkinStyle StyleWith(int border, int caption, int buttonWidth, int buttonHeight) {
  SkinStyle s;
  s.metrics[static_cast<int>(Metric::BorderWidth) - 1] = border;
  s.metrics[static_cast<int>(Metric::CaptionHeight) - 1] = caption;
  s.metrics[static_cast<int>(Metric::CaptionButtonWidth) - 1] = buttonWidth;
  s.metrics[static_cast<int>(Metric::CaptionButtonHeight) - 1] = buttonHeight;
  return s;
}

// The main window: 805 x 430, system menu, minimize box, icon, fixed frame.
constexpr FrameFlags kMainWindow = {.minimizeBox = true, .closeBox = true, .icon = true};

TEST(FrameLayout, MainWindowParts) {
  const FrameLayout l = LayOutFrame(805, 430, StyleWith(2, 26, 34, 22), kMainWindow);
  EXPECT_EQ(l.client, (Box{2, 28, 803, 428}));
  EXPECT_EQ(l.caption, (Box{2, 2, 803, 28}));
  EXPECT_EQ(l.close, (Box{767, 4, 801, 26}));
  EXPECT_EQ(l.minimize, (Box{731, 4, 765, 26}));
  EXPECT_TRUE(l.maximize.empty());
  EXPECT_EQ(l.icon, (Box{6, 7, 22, 23}));
  EXPECT_EQ(l.title.left, 27);
  EXPECT_EQ(l.title.right, 725);
}

TEST(FrameLayout, HitsOfTheMainWindow) {
  const FrameLayout l = LayOutFrame(805, 430, StyleWith(2, 26, 34, 22), kMainWindow);
  struct Case {
    int x, y;
    FrameHit hit;
  };
  const Case cases[] = {
      {784, 15, FrameHit::Close},     {767, 4, FrameHit::Close},       {800, 25, FrameHit::Close},
      {748, 15, FrameHit::Minimize},  {766, 15, FrameHit::Caption},    {784, 3, FrameHit::Caption},
      {400, 15, FrameHit::Caption},   {10, 15, FrameHit::SystemMenu},  {400, 200, FrameHit::Client},
      {2, 28, FrameHit::Client},      {0, 0, FrameHit::Border},        {804, 200, FrameHit::Border},
      {400, 429, FrameHit::Border},   {805, 10, FrameHit::Nowhere},    {-1, 10, FrameHit::Nowhere},
  };
  for (const Case& c : cases) EXPECT_EQ(HitFrame(l, 805, 430, kMainWindow, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(FrameLayout, ButtonsAsTallAsTheCaptionSitFlush) {
  const FrameFlags flags = {.minimizeBox = true, .maximizeBox = true, .closeBox = true};
  const FrameLayout l = LayOutFrame(400, 300, StyleWith(1, 24, 38, 24), flags);
  EXPECT_EQ(l.close, (Box{361, 1, 399, 25}));
  EXPECT_EQ(l.maximize, (Box{323, 1, 361, 25}));
  EXPECT_EQ(l.minimize, (Box{285, 1, 323, 25}));
  EXPECT_EQ(l.title.left, 9);  // no icon
}

TEST(FrameLayout, NoSystemMenuMeansNoButtons) {
  const FrameLayout l = LayOutFrame(400, 300, StyleWith(2, 26, 34, 22), {.minimizeBox = true, .maximizeBox = true});
  EXPECT_TRUE(l.close.empty());
  EXPECT_TRUE(l.minimize.empty());
  EXPECT_TRUE(l.maximize.empty());
}

TEST(FrameLayout, MinimizedWindowIsAllCaption) {
  FrameFlags flags = kMainWindow;
  flags.iconic = true;
  const FrameLayout l = LayOutFrame(160, 24, StyleWith(2, 26, 34, 22), flags);
  EXPECT_TRUE(l.client.empty());
  EXPECT_EQ(l.caption, (Box{2, 2, 158, 22}));
  EXPECT_EQ(l.close.height(), 20);
  EXPECT_EQ(HitFrame(l, 160, 24, flags, l.close.left + 1, 10), FrameHit::Close);
  EXPECT_EQ(HitFrame(l, 160, 24, flags, l.minimize.left + 1, 10), FrameHit::Minimize);
  EXPECT_EQ(HitFrame(l, 160, 24, flags, 5, 10), FrameHit::Caption);
  EXPECT_EQ(HitFrame(l, 160, 24, flags, 0, 0), FrameHit::Caption);
}

TEST(FrameLayout, ResizableFrameEdgesAndCorners) {
  const FrameFlags flags = {.closeBox = true, .resizable = true};
  const FrameLayout l = LayOutFrame(300, 200, StyleWith(2, 26, 34, 22), flags);
  struct Case {
    int x, y;
    FrameHit hit;
  };
  const Case cases[] = {
      {0, 0, FrameHit::TopLeft},      {299, 0, FrameHit::TopRight},   {0, 199, FrameHit::BottomLeft},
      {299, 199, FrameHit::BottomRight}, {0, 100, FrameHit::Left},    {299, 100, FrameHit::Right},
      {150, 0, FrameHit::Top},        {150, 199, FrameHit::Bottom},   {150, 100, FrameHit::Client},
  };
  for (const Case& c : cases) EXPECT_EQ(HitFrame(l, 300, 200, flags, c.x, c.y), c.hit) << c.x << "," << c.y;
}

TEST(FrameLayout, TinyWindowKeepsBoxesInsideIt) {
  const FrameLayout l = LayOutFrame(3, 3, StyleWith(8, 48, 64, 48), kMainWindow);
  EXPECT_TRUE(l.client.empty());
  EXPECT_LE(l.caption.left, l.caption.right);
  EXPECT_LE(l.caption.top, l.caption.bottom);
}

}  // namespace
}  // namespace skin
