#include "skin/skin_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "skinengine/skin_format.h"
#include "text/byte_set.h"

namespace {

using skin::Colour;
using skin::Metric;
using skin::Rgb;
using skin::SkinStyle;

SkinStyle SkinNumber(int32_t n) {
  const uint8_t* block = kSkinBlocks[n - 1];
  auto style = skin::ParseSkin(block + ByteSet::kHeaderSize, static_cast<size_t>(BlockByteCount(block)));
  EXPECT_TRUE(style) << "skin " << n;
  return style.value_or(SkinStyle{});
}

// WCAG contrast ratio, 1 (none) to 21 (black on white).
double Contrast(Rgb a, Rgb b) {
  const auto lum = [](Rgb c) {
    const auto channel = [](uint8_t v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red) + 0.7152 * channel(c.green) + 0.0722 * channel(c.blue);
  };
  const double la = lum(a), lb = lum(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(SkinTable, EverySkinIsABlockThatBeginsWithTheMagic) {
  for (int32_t n = 1; n <= kSkinCount; ++n) {
    const uint8_t* block = kSkinBlocks[n - 1];
    const ByteSet copy = ByteSet::FromBlock(block);
    ASSERT_GE(copy.count(), 4) << n;
    EXPECT_EQ(std::memcmp(block, "\x01\x00\x00\x00", 4), 0) << n;
    EXPECT_EQ(std::memcmp(copy.data(), ".SHE", 4), 0) << n;
  }
}

TEST(SkinTable, EverySkinIsReadableAndDistinct) {
  std::set<std::string> names;
  std::set<std::tuple<int, int, int>> looks;
  for (int32_t n = 1; n <= kSkinCount; ++n) {
    const SkinStyle s = SkinNumber(n);
    EXPECT_TRUE(names.insert(s.name).second) << "name of skin " << n << " repeats";
    const auto key = [](Rgb c) { return (c.red << 16) | (c.green << 8) | c.blue; };
    const auto look = std::make_tuple(key(s.colour(Colour::CaptionActiveBottom)), key(s.colour(Colour::FocusRing)),
                                      key(s.colour(Colour::WindowBackground)));
    EXPECT_TRUE(looks.insert(look).second) << "colours of skin " << n << " repeat";
  }
}

TEST(SkinTable, TextIsLegibleInEverySkin) {
  for (int32_t n = 1; n <= kSkinCount; ++n) {
    const SkinStyle s = SkinNumber(n);
    EXPECT_GE(Contrast(s.colour(Colour::CaptionTextActive), s.colour(Colour::CaptionActiveBottom)), 4.5) << n;
    EXPECT_GE(Contrast(s.colour(Colour::WindowText), s.colour(Colour::WindowBackground)), 7.0) << n;
    EXPECT_GE(Contrast(s.colour(Colour::ButtonText), s.colour(Colour::ButtonFaceBottom)), 7.0) << n;
    EXPECT_GE(Contrast(s.colour(Colour::ButtonText), s.colour(Colour::ButtonPressedTop)), 4.5) << n;
    EXPECT_GE(Contrast(s.colour(Colour::CloseGlyphHot), s.colour(Colour::CloseButtonHot)), 3.0) << n;
  }
}

TEST(SkinTable, SkinOneKeepsTheMainWindowsClientArea) {
  // The main window is 805 x 430 outside and lays out its controls in 800 x 400.
  const SkinStyle s = SkinNumber(1);
  const int border = s.metric(Metric::BorderWidth);
  EXPECT_GE(805 - 2 * border, 800);
  EXPECT_GE(430 - 2 * border - s.metric(Metric::CaptionHeight), 400);
}

}  // namespace
