#include "regex/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ByteSet Bytes(std::string_view bytes) { return ByteSet::FromBytes(bytes.data(), bytes.size()); }

std::string Hex(const ByteSet& b) {
  std::string out;
  char cell[4];
  for (int32_t i = 0; i < ByteSetLength(b); ++i) {
    snprintf(cell, sizeof cell, i ? " %02X" : "%02X", b.data()[i]);
    out += cell;
  }
  return out;
}

enum class Routine { Plain, ExNotGiven, ExKeep, ExDrop };

struct ToUnicodeCase {
  const char* name;
  Routine routine;
  std::string_view text;
  std::string_view expected;
};

const ToUnicodeCase kToUnicode[] = {
    {"ascii", Routine::Plain, "ab", {"a\0b\0\0\0", 6}},
    {"two_byte_character", Routine::Plain, "\xD6\xD0", {"\x2D\x4E\0\0", 4}},
    {"empty_gives_the_terminator", Routine::Plain, "", {"\0\0", 2}},
    {"ex_not_given", Routine::ExNotGiven, "ab", {"a\0b\0\0\0", 6}},
    {"ex_keep", Routine::ExKeep, "ab", {"a\0b\0\0\0", 6}},
    {"ex_drop", Routine::ExDrop, "ab", {"a\0b\0", 4}},
    {"ex_drop_two_byte", Routine::ExDrop, "\xD6\xD0", {"\x2D\x4E", 2}},
    {"ex_empty_not_given", Routine::ExNotGiven, "", {}},
    {"ex_empty_keep", Routine::ExKeep, "", {}},
    {"ex_empty_drop", Routine::ExDrop, "", {}},
};

ByteSet Convert(Routine routine, const Text& text) {
  switch (routine) {
    case Routine::Plain: return AnsiToUnicode(text);
    case Routine::ExNotGiven: return AnsiToUnicodeEx(text);
    case Routine::ExKeep: return AnsiToUnicodeEx(text, false);
    case Routine::ExDrop: return AnsiToUnicodeEx(text, true);
  }
  return ByteSet();
}

class ToUnicode : public testing::TestWithParam<ToUnicodeCase> {};

TEST_P(ToUnicode, GivesTheUnits) {
  const ToUnicodeCase& c = GetParam();
  EXPECT_EQ(Hex(Convert(c.routine, Text(c.text))), Hex(Bytes(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ToUnicode, testing::ValuesIn(kToUnicode),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AnsiToUnicodeEx, NullAndTerminatorOnlyEmptyTextsBothGiveTheEmptyByteSet) {
  EXPECT_TRUE(AnsiToUnicodeEx(Text()).isNull());
  EXPECT_TRUE(AnsiToUnicodeEx(Text(""), true).isNull());
}

struct ToAnsiCase {
  const char* name;
  std::string_view units;
  std::string_view expected;
};

const ToAnsiCase kToAnsi[] = {
    {"terminated", {"a\0b\0\0\0", 6}, "ab"},
    {"unterminated", {"a\0b\0", 4}, "ab"},
    {"stops_at_first_zero_unit", {"a\0\0\0b\0", 6}, "a"},
    {"odd_byte_ignored", {"a\0b", 3}, "a"},
    {"single_odd_byte", {"a", 1}, ""},
    {"empty", {}, ""},
    {"two_byte_character", {"\x2D\x4E\0\0", 4}, "\xD6\xD0"},
    {"combining_mark_composed", {"e\0\x01\x03", 4}, "\xA8\xA6"},
    {"unrepresentable_becomes_question_mark", {"\x01\x0E" "a\0", 4}, "?a"},
};

class ToAnsi : public testing::TestWithParam<ToAnsiCase> {};

TEST_P(ToAnsi, GivesTheText) {
  const ToAnsiCase& c = GetParam();
  EXPECT_EQ(UnicodeToAnsi(Bytes(c.units)), Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ToAnsi, testing::ValuesIn(kToAnsi),
                         [](const auto& info) { return std::string(info.param.name); });

// Every one-byte character and every two-byte character of the code page (lead 81-FE, trail 40-FE
// without 7F), one after the other.
Text EveryCharacter() {
  std::string all;
  for (int c = 1; c < 0x80; ++c) all += static_cast<char>(c);
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      all += static_cast<char>(lead);
      all += static_cast<char>(trail);
    }
  }
  return Text(all);
}

TEST(CodePageRoundTrip, EveryCharacterComesBackUnchanged) {
  const Text all = EveryCharacter();
  const Text back = UnicodeToAnsi(AnsiToUnicode(all));
  ASSERT_EQ(back.length(), all.length());
  for (int32_t i = 0; i < all.length(); ++i) {
    ASSERT_EQ(back.at(i), all.at(i)) << "at byte " << i;
  }
}

TEST(CodePageRoundTrip, TextsOfMixedCharacters) {
  for (const char* t : {"a", "\xD6\xD0\xCE\xC4", "<div id=\"main\">\xB9\xD8\xBC\xFC\xB4\xCA</div>\r\n",
                        "\x81\x40z\xFE\xFE", "\xA3\xB1\xA3\xB2 12"}) {
    EXPECT_EQ(UnicodeToAnsi(AnsiToUnicode(Text(t))), Text(t)) << t;
    EXPECT_EQ(UnicodeToAnsi(AnsiToUnicodeEx(Text(t), true)), Text(t)) << t;
  }
}

// Bytes that form no character are converted without error: the result keeps its terminator and the
// characters around them come back.
struct BadInputCase {
  std::string_view text;
  std::string_view before;  // what the text gives back before the bad bytes
  std::string_view after;   // and after them
};

const BadInputCase kBadInput[] = {
    {"a\xD6", "a", ""},              // a lead byte at the end
    {"\xD6", "", ""},                // a lead byte alone
    {"a\x81\x20" "b", "a", "b"},     // a lead byte before a byte that cannot follow it
    {"a\xFF" "b", "a", "b"},         // a byte that is no lead byte
    {"\x80" "ab", "", "ab"},
};

TEST(CodePageBadInput, InvalidBytesConvertWithoutError) {
  for (const BadInputCase& c : kBadInput) {
    const ByteSet units = AnsiToUnicode(Text(c.text));
    const int32_t n = ByteSetLength(units);
    ASSERT_GE(n, 4) << Hex(Bytes(c.text));
    EXPECT_EQ(n % 2, 0);
    EXPECT_EQ(units.data()[n - 1] | units.data()[n - 2], 0) << "terminated";
    const Text back = UnicodeToAnsi(units);
    EXPECT_GT(back.length(), static_cast<int32_t>(c.before.size() + c.after.size()));
    EXPECT_EQ(back.view().substr(0, c.before.size()), c.before);
    EXPECT_EQ(back.view().substr(back.view().size() - c.after.size()), c.after);
  }
}

}  // namespace
