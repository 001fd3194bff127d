#include "regex/match_position.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct Case {
  const char* subject;
  const char* found;
  int32_t firstIndex;
  int32_t position;
};

const Case kCases[] = {
    {"xxab", "ab", 2, 2},                               // one-byte characters: the byte offset
    {"abab", "ab", 0, 0},
    {"aaa", "a", 1, 0},                                 // the text also occurs one byte earlier
    {"\xD6\xD0" "ab ab", "ab", 1, 2},                   // true byte offsets after one character
    {"\xD6\xD0" "ab ab", "ab", 4, 5},
    {"\xD6\xD0\xD6\xD0" "ab", "ab", 2, -2},             // the search starts inside a character
    {"\xD6\xD0\xD6\xD0" "aa!", "a", 3, 4},               // an earlier occurrence is found
    {"val=val", "val", 0, 0},
    {"abc", "", 0, 0},                                  // an empty text is found at once
    {"", "", 0, -2},                                    // but not in the empty subject
    {"abc", "c", INT_MIN, 2},
    {"abc", "a", INT_MAX, -2},
};

TEST(MatchPosition, ByteSearchFromFirstIndex) {
  for (const Case& c : kCases) {
    EXPECT_EQ(MatchPosition(c.subject, c.found, c.firstIndex), c.position)
        << c.subject << " / " << c.found << " from " << c.firstIndex;
  }
}

}  // namespace
