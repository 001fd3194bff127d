#include "text/byte_set.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ByteSet Bytes(const char* bytes, size_t n) { return ByteSet::FromBytes(bytes, n); }

std::vector<uint8_t> Block(const ByteSet& b) {
  if (b.isNull()) return {};
  return std::vector<uint8_t>(b.block(), b.block() + ByteSet::kHeaderSize + b.count());
}

}  // namespace

TEST(ByteSetTest, LayoutIsWordOneCountThenBytes) {
  const ByteSet joined = JoinByteSets(Bytes("abc", 3), Bytes("de", 2));
  EXPECT_EQ(Block(joined), (std::vector<uint8_t>{1, 0, 0, 0, 5, 0, 0, 0, 'a', 'b', 'c', 'd', 'e'}));
  EXPECT_EQ(joined.data(), joined.block() + 8);
}

TEST(ByteSetTest, EmptyFormsAndJoining) {
  const ByteSet null;
  EXPECT_TRUE(JoinByteSets(null, ByteSet()).isNull());
  EXPECT_TRUE(JoinByteSets(null, BlankByteSet(0)).isNull());
  EXPECT_EQ(ByteSetLength(null), 0);
  EXPECT_EQ(JoinByteSets(null, Bytes("x", 1), null), Bytes("x", 1));
}

TEST(ByteSetTest, BlankLeftAndToText) {
  const ByteSet blank = BlankByteSet(2);
  EXPECT_EQ(Block(blank), (std::vector<uint8_t>{1, 0, 0, 0, 2, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(BlankByteSet(-1).isNull());

  const ByteSet abc = Bytes("abc", 3);
  EXPECT_TRUE(ByteSetLeft(abc, -1).isNull());
  EXPECT_TRUE(ByteSetLeft(abc, 0).isNull());
  EXPECT_EQ(ByteSetLeft(abc, 2), Bytes("ab", 2));
  EXPECT_EQ(ByteSetLeft(abc, 10), abc);

  EXPECT_EQ(ByteSetToText(Bytes("ab\0cd", 5)).str(), "ab");
  EXPECT_EQ(ByteSetToText(abc).str(), "abc");
  EXPECT_EQ(ByteSetToText(ByteSet()).str(), "");
}

TEST(ByteSetTest, CopiesACarriedConstantWithItsHeader) {
  static const uint8_t kConstant[] = {1, 0, 0, 0, 4, 0, 0, 0, '.', 'S', 'H', 'E'};
  EXPECT_EQ(BlockByteCount(kConstant), 4);
  const ByteSet copy = ByteSet::FromBlock(kConstant);
  EXPECT_EQ(Block(copy), std::vector<uint8_t>(std::begin(kConstant), std::end(kConstant)));
  EXPECT_NE(copy.block(), kConstant);
  EXPECT_TRUE(ByteSet::FromBlock(nullptr).isNull());
}
