#include "text/text.h"

#include <gtest/gtest.h>

TEST(TextTest, Placeholder) { EXPECT_EQ(TextLength(Text("abc")), 3); }
