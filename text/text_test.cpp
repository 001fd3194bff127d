#include "text/text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const Text kNull;            // no storage: the null text
const Text kTerminated("");  // storage whose first byte is the terminator
}  // namespace

TEST(TextTest, CutsAtTheFirstZeroByte) {
  EXPECT_EQ(Text(std::string_view("ab\0cd", 5)).str(), "ab");
  EXPECT_EQ(Text(static_cast<const char*>(nullptr)).length(), 0);
  EXPECT_EQ(JoinTexts("a", std::string_view("b\0x", 3), "c").str(), "abc");
}

TEST(TextTest, CompareTexts) {
  struct Case {
    Text a, b;
    int expected;
  } cases[] = {
      {kNull, kTerminated, 0}, {kNull, "a", -1},       {"a", kNull, 1},     {"abc", "abc", 0},
      {"ab", "abc", -1},       {"abc", "ab", 1},       {"\xB0", "a", 1},    {"a", "\xB0", -1},
      {"abd", "abc", 1},       {"ABC", "abc", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(CompareTexts(c.a, c.b), c.expected) << c.a.str() << " vs " << c.b.str();
}

TEST(TextTest, CompareTextsNoCaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(CompareTextsNoCase("HTTP://", "http://"), 0);
  EXPECT_EQ(CompareTextsNoCase(kNull, kTerminated), 0);
  EXPECT_NE(CompareTextsNoCase("http:/", "http://"), 0);
  EXPECT_NE(CompareTextsNoCase("[", "{"), 0);  // brackets are not letters
}

TEST(TextTest, JoinTexts) {
  EXPECT_EQ(JoinTexts(kNull, kTerminated, ""), kNull);
  EXPECT_EQ(JoinTexts("a", kNull, "b").str(), "ab");
  EXPECT_EQ(JoinTexts(Text("http://h/word/"), Text("\xD6\xD0"), ".html").str(), "http://h/word/\xD6\xD0.html");
}

TEST(TextTest, LeftRightMidClamp) {
  struct Case {
    Text result;
    const char* expected;
  } cases[] = {
      {TextLeft("abc", 5), "abc"},        {TextLeft("abc", 0), ""},          {TextLeft("abc", 2), "ab"},
      {TextLeft(kNull, 3), ""},           {TextRight("abc", -1), ""},        {TextRight("abc", 2), "bc"},
      {TextRight("abc", 9), "abc"},       {TextMid("abcdef", 3, 2), "cd"},   {TextMid("abcdef", 5, 10), "ef"},
      {TextMid("abcdef", 7, 1), ""},      {TextMid("abcdef", 0, 2), ""},     {TextMid("abcdef", 1, 0), ""},
      {TextMid("abcdef", -5, 3), ""},     {TextMid("abcdef", 6, 1), "f"},
      // Byte counts: a two-byte character can be split.
      {TextLeft("\xD6\xD0" "a", 1), "\xD6"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result.str(), c.expected);
}

TEST(TextTest, FindText) {
  struct Case {
    Text t, s;
    std::optional<int32_t> start;
    bool ignoreCase;
    int32_t expected;
  } cases[] = {
      {"a/b/c", "/", 3, false, 4},          // counted from the start of the text
      {"abc", "", 2, false, 1},             // empty sub-text with something left
      {"abc", "", 4, false, -1},            // nothing left to search
      {kNull, "a", std::nullopt, false, -1},
      {kTerminated, "", std::nullopt, false, -1},
      {"accept: x", "Accept: ", std::nullopt, true, 1},
      {"accept: x", "Accept: ", std::nullopt, false, -1},
      {"\xB0\x41\x41", "A", std::nullopt, false, 3},  // the first 0x41 is a trail byte
      {"abcabc", "abc", 2, false, 4},
      {"abc", "abc", 0, false, 1},          // start below 1 scans from the beginning
      {"abc", "abcd", std::nullopt, false, -1},
      {"ab\xB0", "x", std::nullopt, false, -1},  // a lead byte at the end ends the scan
      {"[x]", "{X}", std::nullopt, true, -1},
      {"X-Accept: a", "Accept: ", std::nullopt, true, 3},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FindText(c.t, c.s, c.start, c.ignoreCase), c.expected) << c.t.str() << " / " << c.s.str();
}

TEST(TextTest, CaseMappingSkipsTwoByteCharacters) {
  EXPECT_EQ(ToLowerCase("\xC4\x41" "AbC").str(), "\xC4\x41" "abc");
  EXPECT_EQ(ToUpperCase("post\xD6\x61x").str(), "POST\xD6\x61X");
  EXPECT_EQ(ToUpperCase("a\xB0").str(), "A\xB0");
  EXPECT_EQ(ToUpperCase(kNull), kNull);
}

TEST(TextTest, TextToNumber) {
  struct Case {
    Text t;
    double expected;
  } cases[] = {
      {"  42abc", 42},          {"abc", 0},          {kNull, 0},            {"8.5", 8.5},
      {"\xA3\xB8\xA3\xB0", 80},  // full-width digits
      {"-2.5e2x", -250},        {"+7", 7},           {"1e", 1},             {".5", 0.5},
      {"5.", 5},                {"\xA1\xA1" "12", 12},  // full-width space is skipped as a blank
      {"\xA3\xAD" "3", -3},      // full-width minus
      {"0x10", 0},              {" 81/x", 81},       {"1,5", 1},            {"e5", 0},
      {"\t\n9", 9},             {"1e400", INFINITY}, {"1e-400", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToNumber(c.t), c.expected) << c.t.str();
}

TEST(TextTest, TruncateAndIntegerToText) {
  EXPECT_EQ(TruncateToInteger(2.9), 2);
  EXPECT_EQ(TruncateToInteger(-2.9), -2);
  EXPECT_EQ(TruncateToInteger(8.5), 8);
  EXPECT_EQ(TruncateToInteger(1e20), 2147483647);  // clamped, never undefined
  EXPECT_EQ(TruncateToInteger(-1e20), -2147483647 - 1);
  EXPECT_EQ(TruncateToInteger(NAN), 0);
  EXPECT_EQ(IntegerToText(0).str(), "0");
  EXPECT_EQ(IntegerToText(-1300).str(), "-1300");
  EXPECT_EQ(IntegerToText(-2147483647 - 1).str(), "-2147483648");
}

TEST(TextTest, ReplaceTextRange) {
  EXPECT_EQ(ReplaceTextRange("http://host", 1, 7).str(), "host");
  EXPECT_EQ(ReplaceTextRange("http://host", 0, 7).str(), "host");
  EXPECT_EQ(ReplaceTextRange("abcdef", 3, 100).str(), "ab");
  EXPECT_EQ(ReplaceTextRange("abc", 10, 2, Text("xy")).str(), "abcxy");
  EXPECT_EQ(ReplaceTextRange("abc", 2, 0, Text("X")).str(), "aXbc");
  EXPECT_EQ(ReplaceTextRange("abc", 2, -1).str(), "abc");
  EXPECT_EQ(ReplaceTextRange(kNull, 1, 1, Text("z")).str(), "z");
}

TEST(TextTest, ReplaceSubText) {
  EXPECT_EQ(ReplaceSubText("a#b#c", "#", "\"", true).str(), "a\"b\"c");
  EXPECT_EQ(ReplaceSubText(kNull, "#", "x", true), kNull);
  EXPECT_EQ(ReplaceSubText("abc", "", "x", true).str(), "abc");
  EXPECT_EQ(ReplaceSubText("aAa", "a", "b", false).str(), "bbb");
  EXPECT_EQ(ReplaceSubText("aAa", "a", "b", true).str(), "bAb");
  EXPECT_EQ(ReplaceSubText("aaa", "aa", "x", true).str(), "xa");  // left to right, no overlap
  // A match never starts on the second byte of a two-byte character.
  EXPECT_EQ(ReplaceSubText("\xB0\x41\x41", "A", "z", true).str(), "\xB0\x41z");
  EXPECT_EQ(ReplaceSubText("<div id=#引号main#引号>", "#引号", "\"", true).str(), "<div id=\"main\">");
}

TEST(TextTest, BlankText) {
  EXPECT_EQ(BlankText(3).str(), "   ");
  EXPECT_EQ(BlankText(0), kNull);
  EXPECT_EQ(BlankText(-4), kNull);
}
