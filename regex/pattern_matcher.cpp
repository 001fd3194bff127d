#include "regex/pattern_matcher.h"

#include <objbase.h>

#include "regex/code_page.h"
#include "regex/match_position.h"

namespace {

// The subject is converted back each time: only callers that ask for a position pay for it.
int32_t FoundPosition(const Variant& subject, const ComObject& match, const Text& found) {
  return MatchPosition(UnicodeToAnsi(subject.GetBytes()), found,
                       TruncateToInteger(match.ReadNumber(L"FirstIndex")));
}

// The engine counts matches and groups from 0. Computed as a double so that no number overflows.
double EngineIndex(int32_t number) { return static_cast<double>(number) - 1; }

}  // namespace

PatternMatcher::PatternMatcher() : Subject(0) { CoInitialize(nullptr); }

PatternMatcher::PatternMatcher(const PatternMatcher& other)
    : Engine(other.Engine), Matches(other.Matches), Subject(other.Subject) {
  CoInitialize(nullptr);
}

PatternMatcher::~PatternMatcher() {
  // Every reference goes before the COM library is let go.
  Engine.Clear();
  Matches.Clear();
  Subject.Clear();
  CoUninitialize();
}

std::unique_ptr<PatternMatcher> PatternMatcher::Copy() const {
  return std::unique_ptr<PatternMatcher>(new PatternMatcher(*this));
}

bool PatternMatcher::Create(const Text& pattern, const Text& subject, std::optional<bool> caseSensitive,
                            std::optional<bool> multiline, std::optional<bool> global,
                            std::optional<bool> expandQuoteMarker) {
  Engine.Clear();
  Matches.Clear();
  Engine.CreateFromProgId(L"VBScript.RegExp");
  Engine.WriteProperty(L"IgnoreCase", !caseSensitive.value_or(false));
  Engine.WriteProperty(L"Multiline", multiline.value_or(true));
  // The engine has no such member; the write fails and changes nothing.
  Engine.WriteProperty(L"Singleline", true);
  Engine.WriteProperty(L"Global", global.value_or(true));
  Engine.WriteProperty(L"Pattern", expandQuoteMarker.value_or(false)
                                       ? ReplaceSubText(pattern, "#引号", "\"", true)
                                       : pattern);
  // The subject is kept as bytes: a text argument would go through the ANSI code page, while the
  // subject is converted as code page 936. The engine reads the array's bytes as a string's units; we
  // make that string ourselves, since the platform's conversion copies the array twice on the way (a
  // large page would take nine times its size at once instead of five).
  Subject.AssignBytes(AnsiToUnicode(subject));
  Matches = Engine.CallObject(L"Execute", {Subject.BytesAsString()});
  return !Matches.IsEmpty();
}

Text PatternMatcher::GetPattern() const {
  if (Engine.IsEmpty()) return Text();
  return Engine.ReadText(L"Pattern");
}

Text PatternMatcher::Replace(const Text& replacement) const {
  return Engine.CallText(L"Replace", {Subject.BytesAsString(), replacement});
}

int32_t PatternMatcher::MatchCount() const { return TruncateToInteger(Matches.ReadNumber(L"Count")); }

Text PatternMatcher::MatchText(int32_t index, int32_t* position) const {
  const ComObject match = Matches.ReadObject(L"Item", {EngineIndex(index)});
  Text answer = UnicodeToAnsi(match.ReadVariant(L"Value").GetBytes());
  if (position) *position = FoundPosition(Subject, match, answer);
  return answer;
}

Text PatternMatcher::SubMatchText(int32_t matchIndex, int32_t subIndex, int32_t* position) const {
  const ComObject match = Matches.ReadObject(L"Item", {EngineIndex(matchIndex)});
  const ComObject groups = match.ReadObject(L"SubMatches");
  Text answer = groups.ReadVariant(L"Item", {EngineIndex(subIndex)}).GetText();
  if (position) *position = FoundPosition(Subject, match, answer);
  return answer;
}

int32_t PatternMatcher::SubMatchCount() const {
  const ComObject first = Matches.ReadObject(L"Item", {int32_t{0}});
  return TruncateToInteger(first.ReadObject(L"SubMatches").ReadNumber(L"Count"));
}
