#include "text/byte_set.h"

#include <algorithm>
#include <cstring>

namespace {

void WriteWord(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t ReadWord(const uint8_t* at) {
  uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= uint32_t{at[i]} << (8 * i);
  return value;
}

}  // namespace

ByteSet::ByteSet(size_t count) : block_(kHeaderSize + count, 0) {
  WriteWord(block_.data(), 1);
  WriteWord(block_.data() + 4, static_cast<uint32_t>(count));
}

ByteSet ByteSet::Zeroed(size_t count) { return count == 0 ? ByteSet() : ByteSet(count); }

ByteSet ByteSet::FromBytes(const void* bytes, size_t count) {
  if (count == 0) return ByteSet();
  ByteSet b(count);
  std::memcpy(b.data(), bytes, count);
  return b;
}

ByteSet ByteSet::FromBlock(const void* block) {
  if (!block) return ByteSet();
  const auto* header = static_cast<const uint8_t*>(block);
  ByteSet b(static_cast<size_t>(BlockByteCount(block)));
  std::memcpy(b.block_.data(), header, b.block_.size());
  return b;
}

int32_t ByteSet::count() const {
  return block_.empty() ? 0 : static_cast<int32_t>(ReadWord(block_.data() + 4));
}

bool operator==(const ByteSet& a, const ByteSet& b) {
  return a.count() == b.count() && (a.count() == 0 || std::memcmp(a.data(), b.data(), a.count()) == 0);
}

int32_t BlockByteCount(const void* block) {
  return block ? static_cast<int32_t>(ReadWord(static_cast<const uint8_t*>(block) + 4)) : 0;
}

int32_t ByteSetLength(const ByteSet& b) { return b.count(); }

ByteSet JoinByteSets(std::initializer_list<const ByteSet*> parts) {
  size_t total = 0;
  for (const ByteSet* p : parts) total += static_cast<size_t>(ByteSetLength(*p));
  if (total == 0) return ByteSet();
  ByteSet out = ByteSet::Zeroed(total);
  uint8_t* at = out.data();
  for (const ByteSet* p : parts) {
    if (p->count() == 0) continue;
    std::memcpy(at, p->data(), static_cast<size_t>(p->count()));
    at += p->count();
  }
  return out;
}

ByteSet BlankByteSet(int32_t count) {
  if (count <= 0) return ByteSet();
  return ByteSet::Zeroed(static_cast<size_t>(count));
}

ByteSet ByteSetLeft(const ByteSet& b, int32_t count) {
  const int32_t n = std::max(0, std::min(count, b.count()));
  return ByteSet::FromBytes(b.data(), static_cast<size_t>(n));
}

Text ByteSetToText(const ByteSet& b) {
  if (b.count() == 0) return Text();
  return Text(std::string_view(reinterpret_cast<const char*>(b.data()), static_cast<size_t>(b.count())));
}
