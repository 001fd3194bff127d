#include "skinengine/skin_format.h"

#include <array>
#include <cstring>

namespace skin {
namespace {

struct MetricRange {
  int32_t lowest, highest;
};

constexpr std::array<MetricRange, kMetricCount> kMetricRanges = {{
#define SKIN_COLOUR(id, name)
#define SKIN_METRIC(id, name, lowest, highest) {lowest, highest},
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
}};

// Ids index the style's arrays, so they must be 1..count in file order.
constexpr bool IdsAreDense() {
  uint16_t colour = 0, metric = 0;
  bool dense = true;
#define SKIN_COLOUR(id, name) dense = dense && (id == ++colour);
#define SKIN_METRIC(id, name, lowest, highest) dense = dense && (id == ++metric);
#include "skinengine/skin_fields.inc"
#undef SKIN_COLOUR
#undef SKIN_METRIC
  return dense;
}
static_assert(IdsAreDense(), "skin field ids must run from 1 without gaps");

// A bounded reader: every read checks the bytes that are left and fails for good once one does not fit.
class Reader {
 public:
  Reader(const uint8_t* bytes, size_t count) : at_(bytes), left_(count) {}

  bool ok() const { return ok_; }
  size_t left() const { return left_; }

  uint8_t U8() {
    if (!Need(1)) return 0;
    const uint8_t v = at_[0];
    Skip(1);
    return v;
  }
  uint16_t U16() {
    if (!Need(2)) return 0;
    const uint16_t v = static_cast<uint16_t>(at_[0] | (at_[1] << 8));
    Skip(2);
    return v;
  }
  uint32_t U32() {
    if (!Need(4)) return 0;
    const uint32_t v = uint32_t{at_[0]} | (uint32_t{at_[1]} << 8) | (uint32_t{at_[2]} << 16) |
                       (uint32_t{at_[3]} << 24);
    Skip(4);
    return v;
  }
  // A sub-reader over the next `count` bytes, which this reader then steps over.
  Reader Take(size_t count) {
    if (!Need(count)) return Reader(nullptr, 0, false);
    Reader part(at_, count);
    Skip(count);
    return part;
  }
  const uint8_t* Bytes(size_t count) {
    if (!Need(count)) return nullptr;
    const uint8_t* start = at_;
    Skip(count);
    return start;
  }

 private:
  Reader(const uint8_t* bytes, size_t count, bool ok) : at_(bytes), left_(count), ok_(ok) {}
  bool Need(size_t count) {
    if (ok_ && count <= left_) return true;
    ok_ = false;
    return false;
  }
  void Skip(size_t count) {
    at_ += count;
    left_ -= count;
  }

  const uint8_t* at_;
  size_t left_;
  bool ok_ = true;
};

bool ReadName(Reader body, std::string& name) {
  const size_t length = body.left();
  if (length == 0 || length > kMaxNameLength) return false;
  const uint8_t* bytes = body.Bytes(length);
  for (size_t i = 0; i < length; ++i) {
    if (bytes[i] < 0x20 || bytes[i] > 0x7E) return false;
  }
  name.assign(reinterpret_cast<const char*>(bytes), length);
  return true;
}

// Reads `n` entries of `entrySize` bytes each, after checking that they fill the body exactly.
template <typename ReadEntry>
bool ReadEntries(Reader body, size_t entrySize, ReadEntry readEntry) {
  const size_t n = body.U16();
  if (!body.ok() || body.left() != n * entrySize) return false;
  for (size_t i = 0; i < n; ++i) {
    if (!readEntry(body)) return false;
  }
  return body.ok();
}

bool ReadColours(Reader body, SkinStyle& style, std::array<bool, kColourCount>& seen) {
  return ReadEntries(body, 5, [&](Reader& r) {
    const uint16_t id = r.U16();
    Rgb rgb;
    rgb.red = r.U8();
    rgb.green = r.U8();
    rgb.blue = r.U8();
    if (id == 0 || id > kColourCount) return true;  // a later minor version's colour
    if (seen[id - 1]) return false;
    seen[id - 1] = true;
    style.colours[id - 1] = rgb;
    return true;
  });
}

bool ReadMetrics(Reader body, SkinStyle& style, std::array<bool, kMetricCount>& seen) {
  return ReadEntries(body, 4, [&](Reader& r) {
    const uint16_t id = r.U16();
    const int32_t value = r.U16();
    if (id == 0 || id > kMetricCount) return true;
    const MetricRange range = kMetricRanges[id - 1];
    if (seen[id - 1] || value < range.lowest || value > range.highest) return false;
    seen[id - 1] = true;
    style.metrics[id - 1] = value;
    return true;
  });
}

template <size_t N>
bool AllSeen(const std::array<bool, N>& seen) {
  for (bool s : seen) {
    if (!s) return false;
  }
  return true;
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t count) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < count; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::optional<SkinStyle> ParseSkin(const uint8_t* bytes, size_t count) {
  if (!bytes || count < kHeaderSize + kChecksumSize || count > kMaxSkinSize) return std::nullopt;
  if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return std::nullopt;

  Reader header(bytes + sizeof kMagic, kHeaderSize - sizeof kMagic);
  const uint8_t major = header.U8();
  header.U8();  // minor
  const size_t sectionCount = header.U16();
  const uint32_t total = header.U32();
  if (major != kMajorVersion || total != count) return std::nullopt;

  const size_t checked = count - kChecksumSize;
  Reader trailer(bytes + checked, kChecksumSize);
  if (trailer.U32() != Crc32(bytes, checked)) return std::nullopt;

  SkinStyle style;
  bool haveName = false, haveColours = false, haveMetrics = false;
  std::array<bool, kColourCount> coloursSeen{};
  std::array<bool, kMetricCount> metricsSeen{};
  Reader sections(bytes + kHeaderSize, checked - kHeaderSize);
  for (size_t i = 0; i < sectionCount; ++i) {
    const uint16_t tag = sections.U16();
    const uint32_t length = sections.U32();
    Reader body = sections.Take(length);
    if (!sections.ok()) return std::nullopt;
    bool read = true;
    switch (tag) {
      case kSectionName:
        read = !haveName && ReadName(body, style.name);
        haveName = true;
        break;
      case kSectionColours:
        read = !haveColours && ReadColours(body, style, coloursSeen);
        haveColours = true;
        break;
      case kSectionMetrics:
        read = !haveMetrics && ReadMetrics(body, style, metricsSeen);
        haveMetrics = true;
        break;
      default:
        break;  // a later minor version's section
    }
    if (!read) return std::nullopt;
  }
  // Nothing may trail the declared sections: a count that does not match the bytes is a damaged skin.
  if (sections.left() != 0) return std::nullopt;
  if (!haveName || !AllSeen(coloursSeen) || !AllSeen(metricsSeen)) return std::nullopt;
  return style;
}

}  // namespace skin
