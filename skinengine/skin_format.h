// The engine's skin format, ".SHE" version 1. All integers are little-endian.
//
//   offset size
//   0      4    magic ".SHE" (2E 53 48 45)
//   4      1    major version: 1 (a skin of another major version is unreadable)
//   5      1    minor version: any (later minors only add sections and ids, which older engines skip)
//   6      2    section count
//   8      4    total byte count of the skin, header and checksum included
//   12     ...  sections, each: u16 tag, u32 body length, then the body
//   end-4  4    CRC-32 (IEEE) of every byte before it
//
// Sections (each known tag at most once; unknown tags are skipped by their length):
//   1 name     1..63 printable ASCII bytes
//   2 colours  u16 n, then n entries {u16 id, u8 red, u8 green, u8 blue}
//   3 metrics  u16 n, then n entries {u16 id, u16 value}
// Every colour and metric of skin_fields.inc must be present; unknown ids are skipped, a repeated id
// or a metric out of its range makes the skin unreadable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace skin {

inline constexpr uint8_t kMagic[4] = {0x2E, 0x53, 0x48, 0x45};
inline constexpr uint8_t kMajorVersion = 1;
inline constexpr size_t kHeaderSize = 12;
inline constexpr size_t kChecksumSize = 4;
inline constexpr size_t kSectionHeaderSize = 6;
inline constexpr size_t kMaxNameLength = 63;
// Far above any real skin; keeps a wild count from turning into a huge copy.
inline constexpr size_t kMaxSkinSize = 1 << 20;

enum SectionTag : uint16_t { kSectionName = 1, kSectionColours = 2, kSectionMetrics = 3 };

enum class Colour : uint16_t {
#define SKIN_COLOUR(id, name) name = id,
#define SKIN_METRIC(id, name, lowest, highest)
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
};
enum class Metric : uint16_t {
#define SKIN_COLOUR(id, name)
#define SKIN_METRIC(id, name, lowest, highest) name = id,
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
};

inline constexpr size_t kColourCount = 0
#define SKIN_COLOUR(id, name) +1
#define SKIN_METRIC(id, name, lowest, highest)
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
    ;
inline constexpr size_t kMetricCount = 0
#define SKIN_COLOUR(id, name)
#define SKIN_METRIC(id, name, lowest, highest) +1
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
    ;

struct Rgb {
  uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A readable skin. Ids run from 1 without gaps, so they index the arrays at id - 1.
struct SkinStyle {
  std::string name;
  Rgb colours[kColourCount];
  int32_t metrics[kMetricCount] = {};

  Rgb colour(Colour c) const { return colours[static_cast<size_t>(c) - 1]; }
  int32_t metric(Metric m) const { return metrics[static_cast<size_t>(m) - 1]; }
};

// The skin in `bytes`, or nothing when it is not a readable skin of this engine.
std::optional<SkinStyle> ParseSkin(const uint8_t* bytes, size_t count);

// CRC-32 with the IEEE polynomial (as zlib's crc32), of `count` bytes.
uint32_t Crc32(const uint8_t* bytes, size_t count);

}  // namespace skin
