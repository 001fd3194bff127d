#include "text/byte_set.h"

#include <gtest/gtest.h>

TEST(ByteSetTest, Placeholder) { EXPECT_EQ(ByteSetLength(BlankByteSet(2)), 2); }
