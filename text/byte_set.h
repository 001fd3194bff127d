// ByteSet: a counted run of raw bytes, stored in the block layout that crosses to other code:
// a 32-bit word 1, a 32-bit byte count, then the bytes (little-endian). A null byte set has no block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "text/text.h"

class ByteSet {
 public:
  static constexpr size_t kHeaderSize = 8;

  ByteSet() = default;  // the null byte set
  // A byte set of `count` bytes copied from `bytes`; count 0 gives the null byte set.
  static ByteSet FromBytes(const void* bytes, size_t count);
  // `count` zero bytes; 0 gives the null byte set.
  static ByteSet Zeroed(size_t count);
  // A copy of a block in the layout above (a carried constant), header included.
  static ByteSet FromBlock(const void* block);

  bool isNull() const { return block_.empty(); }
  int32_t count() const;
  // The first data byte (block + 8), or null for the null byte set.
  const uint8_t* data() const { return block_.empty() ? nullptr : block_.data() + kHeaderSize; }
  uint8_t* data() { return block_.empty() ? nullptr : block_.data() + kHeaderSize; }
  // The header's address, or null for the null byte set.
  const uint8_t* block() const { return block_.empty() ? nullptr : block_.data(); }

  friend bool operator==(const ByteSet& a, const ByteSet& b);

 private:
  explicit ByteSet(size_t count);  // header filled in, `count` zero bytes
  std::vector<uint8_t> block_;
};

int32_t ByteSetLength(const ByteSet& b);
// The non-empty parts in order, in one allocation; a total of 0 gives the null byte set.
ByteSet JoinByteSets(std::initializer_list<const ByteSet*> parts);
template <typename... Parts>
ByteSet JoinByteSets(const Parts&... parts) {
  return JoinByteSets({&parts...});
}
ByteSet BlankByteSet(int32_t count);
ByteSet ByteSetLeft(const ByteSet& b, int32_t count);
// The bytes before the first zero byte (or all of them), with no code-page conversion.
Text ByteSetToText(const ByteSet& b);

// Count of a carried constant block in the layout above.
int32_t BlockByteCount(const void* block);
