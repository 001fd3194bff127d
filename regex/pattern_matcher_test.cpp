#include "regex/pattern_matcher.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "regex/code_page.h"

namespace {

// The keyword query's pattern, as its source spells it.
const Text kMainBlock(R"(<div id=\"main\">[\s\S]*?</div>)");

bool EngineFlag(const PatternMatcher& m, const wchar_t* name) {
  const Variant v = m.Engine.ReadVariant(name);
  EXPECT_EQ(v.type(), VT_BOOL) << name;
  return v.get().boolVal == VARIANT_TRUE;
}

double FirstIndex(const PatternMatcher& m, int32_t index) {
  return m.Matches.ReadObject(L"Item", {index - 1}).ReadNumber(L"FirstIndex");
}

TEST(PatternMatcherBeforeCreate, GivesEmptyResults) {
  PatternMatcher m;
  EXPECT_TRUE(m.Engine.IsEmpty());
  EXPECT_TRUE(m.Matches.IsEmpty());
  ASSERT_EQ(m.Subject.type(), VT_I4);
  EXPECT_EQ(m.Subject.get().lVal, 0);
  EXPECT_EQ(m.MatchCount(), 0);
  EXPECT_EQ(m.SubMatchCount(), 0);
  EXPECT_EQ(m.MatchText(1), Text());
  EXPECT_EQ(m.SubMatchText(1, 1), Text());
  EXPECT_EQ(m.GetPattern(), Text());
  EXPECT_EQ(m.Replace("x"), Text());
  int32_t position = 99;
  EXPECT_EQ(m.MatchText(1, &position), Text());
  EXPECT_EQ(position, -2);  // the empty text is not found in the empty subject
  position = 99;
  EXPECT_EQ(m.SubMatchText(1, 1, &position), Text());
  EXPECT_EQ(position, -2);
}

// A page of the keyword service: filler around the blocks, Chinese text inside them.
std::string Block(int n) { return "<div id=\"main\">\xBF\xE9 " + std::to_string(n) + "</div>"; }

std::string Page(const std::vector<std::string>& blocks) {
  std::string page = "<html><head><title>\xB9\xD8\xBC\xFC\xB4\xCA</title></head><body>\r\n";
  for (const std::string& b : blocks) page += "<p>\xD6\xD0 x</p>\r\n" + b + "\r\n<div id=\"side\">s</div>\r\n";
  return page + "</body></html>";
}

std::vector<std::string> Blocks(int count) {
  std::vector<std::string> blocks;
  for (int n = 1; n <= count; ++n) blocks.push_back(Block(n));
  return blocks;
}

std::vector<std::string> FourthIs(const std::string& fourth) {
  std::vector<std::string> blocks = Blocks(5);
  blocks[3] = fourth;
  return blocks;
}

struct PageCase {
  const char* name;
  std::vector<std::string> blocks;
  std::string fourth;  // what MatchText(4) gives
};

const PageCase kPages[] = {
    {"three_blocks", Blocks(3), ""},
    {"four_blocks", Blocks(4), Block(4)},
    {"five_blocks", Blocks(5), Block(4)},
    {"upper_case_tag", FourthIs("<DIV ID=\"MAIN\">up</DIV>"), "<DIV ID=\"MAIN\">up</DIV>"},
    {"nested_div_ends_at_first_close", FourthIs("<div id=\"main\"><div>in</div>out</div>"),
     "<div id=\"main\"><div>in</div>"},
    {"line_breaks_inside", FourthIs("<div id=\"main\">a\r\nb\nc</div>"), "<div id=\"main\">a\r\nb\nc</div>"},
    {"other_ids_do_not_count",
     {Block(1), "<div id=\"main2\">n</div>", Block(2), "<div id=\"main\" class=\"c\">n</div>", Block(3),
      "<div id=main>n</div>", Block(4)},
     Block(4)},
    {"empty_block", FourthIs("<div id=\"main\"></div>"), "<div id=\"main\"></div>"},
};

class KeywordQueryPattern : public testing::TestWithParam<PageCase> {};

TEST_P(KeywordQueryPattern, FourthMatchIsTheFourthMainBlock) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create(kMainBlock, Text(Page(GetParam().blocks))));
  EXPECT_EQ(m.MatchText(4), Text(GetParam().fourth));
}

INSTANTIATE_TEST_SUITE_P(Pages, KeywordQueryPattern, testing::ValuesIn(kPages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PatternMatcherCreate, DefaultsAndPatternReachTheEngine) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create(kMainBlock, Text(Page(Blocks(5)))));
  EXPECT_TRUE(EngineFlag(m, L"IgnoreCase"));
  EXPECT_TRUE(EngineFlag(m, L"Multiline"));
  EXPECT_TRUE(EngineFlag(m, L"Global"));
  EXPECT_EQ(m.GetPattern(), kMainBlock);
  EXPECT_EQ(m.MatchCount(), 5);
  // The subject is kept as terminated UTF-16LE in a byte array.
  ASSERT_EQ(m.Subject.type(), VT_ARRAY | VT_UI1);
  EXPECT_EQ(m.Subject.GetBytes(), AnsiToUnicode(Text(Page(Blocks(5)))));
}

struct OptionCase {
  std::optional<bool> caseSensitive, multiline, global;
  bool ignoreCase, multilineSet, globalSet;
  int32_t matches;  // of "^ab" over "AB\nab ab"
};

const OptionCase kOptions[] = {
    {{}, {}, {}, true, true, true, 2},
    {true, {}, {}, false, true, true, 1},
    {false, true, true, true, true, true, 2},
    {{}, false, {}, true, false, true, 1},
    {{}, {}, false, true, true, false, 1},
    {true, false, false, false, false, false, 0},
};

TEST(PatternMatcherCreate, OptionsReachTheEngine) {
  for (const OptionCase& c : kOptions) {
    PatternMatcher m;
    ASSERT_TRUE(m.Create("^ab", "AB\nab ab", c.caseSensitive, c.multiline, c.global));
    EXPECT_EQ(EngineFlag(m, L"IgnoreCase"), c.ignoreCase);
    EXPECT_EQ(EngineFlag(m, L"Multiline"), c.multilineSet);
    EXPECT_EQ(EngineFlag(m, L"Global"), c.globalSet);
    EXPECT_EQ(m.MatchCount(), c.matches);
  }
}

TEST(PatternMatcherCreate, QuoteMarkerExpandedOnlyWhenAsked) {
  const Text pattern("href=#\xD2\xFD\xBA\xC5(\\w+)#\xD2\xFD\xBA\xC5");  // href=#引号(\w+)#引号
  const Text subject("<a href=\"x\">");
  PatternMatcher m;
  ASSERT_TRUE(m.Create(pattern, subject, {}, {}, {}, true));
  EXPECT_EQ(m.GetPattern(), Text("href=\"(\\w+)\""));
  EXPECT_EQ(m.MatchText(1), Text("href=\"x\""));
  for (std::optional<bool> expand : {std::optional<bool>(), std::optional<bool>(false)}) {
    ASSERT_TRUE(m.Create(pattern, subject, {}, {}, {}, expand));
    EXPECT_EQ(m.GetPattern(), pattern);
    EXPECT_EQ(m.MatchCount(), 0);
  }
}

TEST(PatternMatcherCreate, NoMatchStillAnswersTrue) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create("zzz", "abc"));
  EXPECT_EQ(m.MatchCount(), 0);
  EXPECT_EQ(m.MatchText(1), Text());
  EXPECT_EQ(m.SubMatchCount(), 0);
}

TEST(PatternMatcherCreate, EachCreateReplacesWhatTheLastOneLeft) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create("a(b)", "ab ab ab"));
  ASSERT_TRUE(m.Create("x", "x"));
  EXPECT_EQ(m.MatchCount(), 1);
  EXPECT_EQ(m.SubMatchCount(), 0);
  EXPECT_EQ(m.GetPattern(), Text("x"));
  EXPECT_EQ(m.Subject.GetBytes(), AnsiToUnicode("x"));
}

TEST(PatternMatcherMatchText, NumbersOutsideTheCollectionGiveTheEmptyText) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create("a", "xaxa"));
  ASSERT_EQ(m.MatchCount(), 2);
  for (int32_t index : {0, 3, -1, INT_MIN, INT_MAX}) {
    int32_t position = 99;
    EXPECT_EQ(m.MatchText(index), Text()) << index;
    EXPECT_EQ(m.MatchText(index, &position), Text()) << index;
    EXPECT_EQ(position, 0) << index;  // the empty text is found at once in a non-empty subject
    EXPECT_EQ(m.SubMatchText(index, 1), Text()) << index;
  }
}

struct PositionCase {
  const char* name;
  const char* pattern;
  std::string subject;
  int32_t index;
  std::string text;
  double firstIndex;
  int32_t position;
};

const PositionCase kPositions[] = {
    {"one_byte_characters_before", "ab", "xxab", 1, "ab", 2, 2},
    {"match_at_the_start", "ab", "abab", 1, "ab", 0, 0},
    {"also_one_byte_earlier", "a(?=!)", "aa!", 1, "a", 1, 0},
    {"after_one_two_byte_character", "ab", "\xD6\xD0" "ab ab", 1, "ab", 1, 2},
    {"after_one_two_byte_character_second", "ab", "\xD6\xD0" "ab ab", 2, "ab", 4, 5},
    {"search_starts_inside_a_character", "ab", "\xD6\xD0\xD6\xD0" "ab", 1, "ab", 2, -2},
    {"earlier_occurrence_found", "a(?=!)", "\xD6\xD0\xD6\xD0" "aa!", 1, "a", 3, 4},
};

class MatchPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(MatchPosition, IsWhereTheByteSearchFromFirstIndexFindsIt) {
  const PositionCase& c = GetParam();
  PatternMatcher m;
  ASSERT_TRUE(m.Create(c.pattern, Text(c.subject)));
  EXPECT_EQ(FirstIndex(m, c.index), c.firstIndex);
  int32_t position = 99;
  EXPECT_EQ(m.MatchText(c.index, &position), Text(c.text));
  EXPECT_EQ(position, c.position);
}

INSTANTIATE_TEST_SUITE_P(Cases, MatchPosition, testing::ValuesIn(kPositions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PatternMatcherSubMatch, TextsCountsAndPositions) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create("(\\w+)=(\\w+)", "val=val"));
  EXPECT_EQ(m.SubMatchCount(), 2);
  int32_t position = 99;
  EXPECT_EQ(m.SubMatchText(1, 2, &position), Text("val"));
  EXPECT_EQ(position, 0);  // the first occurrence from the whole match's start, not the group's offset 4
  EXPECT_EQ(m.SubMatchText(1, 1), Text("val"));
  for (int32_t group : {0, 3, INT_MIN}) {
    position = 99;
    EXPECT_EQ(m.SubMatchText(1, group, &position), Text()) << group;
    EXPECT_EQ(position, 0) << group;
  }
  EXPECT_EQ(m.SubMatchText(2, 1), Text());
}

TEST(PatternMatcherSubMatch, GroupsInChineseTextAndGroupsThatTookNoPart) {
  PatternMatcher m;
  // 键=值 twice; the optional group takes part only in the second.
  ASSERT_TRUE(m.Create("([^=\\s!]+)=([^=\\s!]+)(!)?", "\xBC\xFC=\xD6\xB5 \xBC\xFC=\xD6\xB5!"));
  EXPECT_EQ(m.SubMatchCount(), 3);
  EXPECT_EQ(m.SubMatchText(1, 1), Text("\xBC\xFC"));
  EXPECT_EQ(m.SubMatchText(2, 2), Text("\xD6\xB5"));
  EXPECT_EQ(m.SubMatchText(1, 3), Text());
  EXPECT_EQ(m.SubMatchText(2, 3), Text("!"));
}

TEST(PatternMatcherReplace, UsesTheLastSubjectAndTheEnginesOptions) {
  PatternMatcher m;
  ASSERT_TRUE(m.Create("\\d+", "a1b22c\xD6\xD0" "333"));
  EXPECT_EQ(m.Replace("#"), Text("a#b#c\xD6\xD0#"));
  ASSERT_TRUE(m.Create("\\d+", "a1b22c", {}, {}, false));
  EXPECT_EQ(m.Replace("#"), Text("a#b22c"));
  ASSERT_TRUE(m.Create("(\\w+)=(\\w+)", "k=v"));
  EXPECT_EQ(m.Replace("$2=$1"), Text("v=k"));
  EXPECT_EQ(m.GetPattern(), Text("(\\w+)=(\\w+)"));
}

TEST(PatternMatcherBadInput, PatternSyntaxErrorAnswersFalse) {
  for (const char* pattern : {"(", "[a-", "a{2,1}", "*"}) {
    PatternMatcher m;
    ASSERT_TRUE(m.Create("a", "a"));
    EXPECT_FALSE(m.Create(pattern, "abc")) << pattern;
    EXPECT_TRUE(m.Matches.IsEmpty());
    EXPECT_EQ(m.Subject.GetBytes(), AnsiToUnicode("abc"));  // the new subject is kept all the same
    EXPECT_EQ(m.MatchCount(), 0);
    EXPECT_EQ(m.MatchText(1), Text());
    EXPECT_EQ(m.SubMatchCount(), 0);
  }
}

TEST(PatternMatcherBadInput, InvalidBytesInTheSubject) {
  PatternMatcher m;
  // Bytes that form no character, then a lead byte at the very end.
  const Text subject("\x81\x20" "ab\xFF" "<div id=\"main\">x</div>\x80" "ab\xD6");
  ASSERT_TRUE(m.Create("ab", subject));
  EXPECT_EQ(m.MatchCount(), 2);
  int32_t position = 99;
  EXPECT_EQ(m.MatchText(2, &position), Text("ab"));
  EXPECT_GE(position, -2);
  ASSERT_TRUE(m.Create(kMainBlock, subject));
  EXPECT_EQ(m.MatchText(1), Text("<div id=\"main\">x</div>"));
  ASSERT_TRUE(m.Create("ab", "ab\xD6"));
  EXPECT_EQ(m.MatchText(1), Text("ab"));
  ASSERT_TRUE(m.Create("x", ""));
  EXPECT_EQ(m.MatchCount(), 0);
}

TEST(PatternMatcherBadInput, FiftyMegabyteSubject) {
  std::string filler;
  while (filler.size() < 50u << 20) filler += "<p>\xD6\xD0\xCE\xC4 filler text</p>\r\n";
  const Text page(Page({Block(1), Block(2)}) + filler + Page({Block(3), Block(4), Block(5)}));
  PatternMatcher m;
  ASSERT_TRUE(m.Create(kMainBlock, page));
  EXPECT_EQ(m.MatchCount(), 5);
  EXPECT_EQ(m.MatchText(4), Text(Block(4)));
}

TEST(PatternMatcherCopy, SharesTheEngineAndKeepsTheComLibraryPaired) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));  // the test's own reference
  {
    PatternMatcher original;
    ASSERT_TRUE(original.Create("b", "abab"));
    std::unique_ptr<PatternMatcher> copy = original.Copy();
    EXPECT_EQ(copy->Engine.get(), original.Engine.get());
    EXPECT_EQ(copy->Matches.get(), original.Matches.get());
    EXPECT_EQ(copy->Subject.GetBytes(), original.Subject.GetBytes());
    int32_t position = 0;
    EXPECT_EQ(copy->MatchText(2, &position), Text("b"));
    EXPECT_EQ(position, 3);
    original.Create("a", "a");
    EXPECT_EQ(copy->MatchCount(), 2);  // still the collection it was made with
  }
  // Both destroyed: the library is still initialised by the test's own reference alone.
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  CoUninitialize();
  CoUninitialize();
}

}  // namespace
