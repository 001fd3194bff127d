#include "skinengine/skin_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace skin {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

struct Section {
  uint16_t tag;
  Bytes body;
};

Bytes NameBody(const std::string& name) { return Bytes(name.begin(), name.end()); }

Bytes ColourBody(size_t count = kColourCount, uint16_t firstId = 1) {
  Bytes b;
  Put16(b, static_cast<uint32_t>(count));
  for (size_t i = 0; i < count; ++i) {
    Put16(b, static_cast<uint32_t>(firstId + i));
    b.insert(b.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i), static_cast<uint8_t>(3 * i)});
  }
  return b;
}

// Every metric at its lowest allowed value, except `id` set to `value` when given.
Bytes MetricBody(uint16_t id = 0, uint32_t value = 0) {
  Bytes b;
  Put16(b, kMetricCount);
  const uint32_t lowest[] = {
#define SKIN_COLOUR(i, n)
#define SKIN_METRIC(i, n, lo, hi) lo,
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
  };
  for (uint16_t m = 1; m <= kMetricCount; ++m) {
    Put16(b, m);
    Put16(b, m == id ? value : lowest[m - 1]);
  }
  return b;
}

std::vector<Section> ValidSections() {
  return {{kSectionName, NameBody("Test Skin")}, {kSectionColours, ColourBody()}, {kSectionMetrics, MetricBody()}};
}

struct Layout {
  uint8_t major = 1, minor = 0;
  int sectionCountDelta = 0;  // declared minus actual
  int totalDelta = 0;         // declared minus actual
  bool badChecksum = false;
};

Bytes Encode(const std::vector<Section>& sections, const Layout& layout = {}) {
  Bytes body;
  for (const Section& s : sections) {
    Put16(body, s.tag);
    Put32(body, static_cast<uint32_t>(s.body.size()));
    body.insert(body.end(), s.body.begin(), s.body.end());
  }
  Bytes b(kMagic, kMagic + 4);
  b.push_back(layout.major);
  b.push_back(layout.minor);
  Put16(b, static_cast<uint32_t>(static_cast<int>(sections.size()) + layout.sectionCountDelta));
  Put32(b, static_cast<uint32_t>(static_cast<int>(kHeaderSize + body.size() + kChecksumSize) + layout.totalDelta));
  b.insert(b.end(), body.begin(), body.end());
  Put32(b, Crc32(b.data(), b.size()) ^ (layout.badChecksum ? 1u : 0u));
  return b;
}

std::optional<SkinStyle> Parse(const Bytes& b) { return ParseSkin(b.data(), b.size()); }

TEST(SkinFormat, ReadsAValidSkin) {
  const auto style = Parse(Encode(ValidSections()));
  ASSERT_TRUE(style);
  EXPECT_EQ(style->name, "Test Skin");
  EXPECT_EQ(style->colour(Colour::FrameActive), (Rgb{0, 0, 0}));
  EXPECT_EQ(style->colour(Colour::FrameInactive), (Rgb{1, 2, 3}));
  EXPECT_EQ(style->metric(Metric::CaptionHeight), 16);
}

TEST(SkinFormat, Crc32IsTheIeeeChecksum) {
  const char* check = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(check), 9), 0xCBF43926u);
  EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(SkinFormat, EveryCutOffSkinIsUnreadable) {
  const Bytes whole = Encode(ValidSections());
  for (size_t n = 0; n < whole.size(); ++n) EXPECT_FALSE(ParseSkin(whole.data(), n)) << n;
  EXPECT_FALSE(ParseSkin(nullptr, whole.size()));
}

TEST(SkinFormat, EveryFlippedBitIsCaught) {
  const Bytes whole = Encode(ValidSections());
  for (size_t i = 0; i < whole.size(); ++i) {
    Bytes b = whole;
    b[i] ^= 0x10;
    EXPECT_FALSE(Parse(b)) << i;
  }
}

TEST(SkinFormat, HeaderFaults) {
  struct Case {
    const char* what;
    Layout layout;
    bool readable;
  };
  const Case cases[] = {
      {"later minor version", {.minor = 7}, true},
      {"major version 2", {.major = 2}, false},
      {"major version 0", {.major = 0}, false},
      {"total too large", {.totalDelta = 1}, false},
      {"total too small", {.totalDelta = -1}, false},
      {"more sections declared than present", {.sectionCountDelta = 1}, false},
      {"fewer sections declared than present", {.sectionCountDelta = -1}, false},
      {"wrong checksum", {.badChecksum = true}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(Encode(ValidSections(), c.layout)).has_value(), c.readable) << c.what;
}

TEST(SkinFormat, WrongMagicIsUnreadable) {
  Bytes b = Encode(ValidSections());
  b[1] = 'X';
  // Keep the checksum right so only the magic is wrong.
  const size_t n = b.size() - kChecksumSize;
  b.resize(n);
  Put32(b, Crc32(b.data(), n));
  EXPECT_FALSE(Parse(b));
}

TEST(SkinFormat, SectionFaults) {
  struct Case {
    const char* what;
    std::vector<Section> sections;
    bool readable;
  };
  const auto with = [](size_t index, Section s) {
    auto v = ValidSections();
    v[index] = std::move(s);
    return v;
  };
  const auto plus = [](Section s) {
    auto v = ValidSections();
    v.push_back(std::move(s));
    return v;
  };
  Bytes oddColours = ColourBody();
  oddColours.push_back(0);
  Bytes shortMetrics = MetricBody();
  shortMetrics.pop_back();
  Bytes repeatedColour = ColourBody();
  repeatedColour[2 + 5] = 1;  // the second entry's id becomes 1 again
  Bytes unknownColourFirst;
  Put16(unknownColourFirst, kColourCount + 1);
  Put16(unknownColourFirst, 999);
  unknownColourFirst.insert(unknownColourFirst.end(), {1, 2, 3});
  {
    const Bytes rest = ColourBody();
    unknownColourFirst.insert(unknownColourFirst.end(), rest.begin() + 2, rest.end());
  }
  const Case cases[] = {
      {"unknown section skipped", plus({77, {1, 2, 3}}), true},
      {"empty unknown section", plus({77, {}}), true},
      {"unknown colour id skipped", with(1, {kSectionColours, unknownColourFirst}), true},
      {"longest name", with(0, {kSectionName, NameBody(std::string(kMaxNameLength, 'n'))}), true},
      {"name too long", with(0, {kSectionName, NameBody(std::string(kMaxNameLength + 1, 'n'))}), false},
      {"empty name", with(0, {kSectionName, {}}), false},
      {"control byte in name", with(0, {kSectionName, NameBody("a\tb")}), false},
      {"byte above ASCII in name", with(0, {kSectionName, {'a', 0xB2}}), false},
      {"no name", {{kSectionColours, ColourBody()}, {kSectionMetrics, MetricBody()}}, false},
      {"no colours", {{kSectionName, NameBody("x")}, {kSectionMetrics, MetricBody()}}, false},
      {"no metrics", {{kSectionName, NameBody("x")}, {kSectionColours, ColourBody()}}, false},
      {"repeated section", plus({kSectionName, NameBody("again")}), false},
      {"a colour missing", with(1, {kSectionColours, ColourBody(kColourCount - 1)}), false},
      {"a colour repeated", with(1, {kSectionColours, repeatedColour}), false},
      {"colour body not whole entries", with(1, {kSectionColours, oddColours}), false},
      {"colour body without its count", with(1, {kSectionColours, {1}}), false},
      {"metric body not whole entries", with(2, {kSectionMetrics, shortMetrics}), false},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(Encode(c.sections)).has_value(), c.readable) << c.what;
}

TEST(SkinFormat, MetricsOutsideTheirRangeAreUnreadable) {
  struct Case {
    Metric metric;
    uint32_t value;
    bool readable;
  };
  const Case cases[] = {
      {Metric::BorderWidth, 0, false},   {Metric::BorderWidth, 1, true},    {Metric::BorderWidth, 8, true},
      {Metric::BorderWidth, 9, false},   {Metric::CaptionHeight, 48, true}, {Metric::CaptionHeight, 49, false},
      {Metric::TitleBold, 2, false},     {Metric::CaptionGloss, 100, true}, {Metric::CaptionGloss, 0xFFFF, false},
  };
  for (const Case& c : cases) {
    const auto sections = [&] {
      auto v = ValidSections();
      v[2].body = MetricBody(static_cast<uint16_t>(c.metric), c.value);
      return v;
    }();
    EXPECT_EQ(Parse(Encode(sections)).has_value(), c.readable)
        << static_cast<int>(c.metric) << " = " << c.value;
  }
}

TEST(SkinFormat, SectionLengthReachingPastTheEndIsUnreadable) {
  Bytes b = Encode(ValidSections());
  // The name section's length field sits right after the header and the section tag.
  b[kHeaderSize + 2] = 0xF0;
  const size_t n = b.size() - kChecksumSize;
  b.resize(n);
  Put32(b, Crc32(b.data(), n));
  EXPECT_FALSE(Parse(b));
}

TEST(SkinFormat, HugeCountsAreRefusedWithoutReading) {
  const Bytes b = Encode(ValidSections());
  EXPECT_FALSE(ParseSkin(b.data(), kMaxSkinSize + 1));
}

}  // namespace
}  // namespace skin
