// libFuzzer target for the skin parser. Each input is parsed as it is, and once more with its total
// and checksum made right, so that mutations reach the section parsing behind the checksum.
#include <cstdlib>
#include <vector>

#include "skinengine/skin_format.h"

namespace {

void Check(const uint8_t* data, size_t size) {
  const auto style = skin::ParseSkin(data, size);
  if (style && (style->name.empty() || style->name.size() > skin::kMaxNameLength)) std::abort();
}

void PutWord(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(data, size);
  if (size < skin::kHeaderSize + skin::kChecksumSize) return 0;
  std::vector<uint8_t> fixed(data, data + size);
  PutWord(fixed.data() + 8, static_cast<uint32_t>(size));
  const size_t checked = size - skin::kChecksumSize;
  PutWord(fixed.data() + checked, skin::Crc32(fixed.data(), checked));
  Check(fixed.data(), fixed.size());
  return 0;
}
