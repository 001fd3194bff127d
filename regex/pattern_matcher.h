// PatternMatcher: regular expressions run by the system's scripting engine (VBScript.RegExp) through
// automation. Create runs a pattern over a subject and keeps the engine, its match collection and the
// subject; the other operations read what the last Create left. Match and group numbers count from 1.
// Nothing here fails loudly: a missing engine, a bad pattern or a number out of range gives the empty
// result.
//
// The object holds a reference on the thread's COM library (CoInitialize at construction,
// CoUninitialize at destruction, after every COM reference it holds is released). A copy takes a
// reference of its own the same way, so every destruction is paired with one initialisation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "regex/com_object.h"
#include "regex/variant.h"
#include "text/text.h"

class PatternMatcher {
 public:
  PatternMatcher();
  PatternMatcher& operator=(const PatternMatcher&) = delete;

  virtual ~PatternMatcher();
  virtual std::unique_ptr<PatternMatcher> Copy() const;
  // True when the engine ran and gave a match collection (also when nothing matched). Defaults:
  // case ignored, multiline and global on; expandQuoteMarker turns each "#引号" in the pattern into a
  // double quote.
  virtual bool Create(const Text& pattern, const Text& subject, std::optional<bool> caseSensitive = {},
                      std::optional<bool> multiline = {}, std::optional<bool> global = {},
                      std::optional<bool> expandQuoteMarker = {});
  virtual Text GetPattern() const;
  // The last subject with the engine's replacements made under its current options.
  virtual Text Replace(const Text& replacement) const;
  virtual int32_t MatchCount() const;
  // `position`, when given, is set to FindText(subject, match text, FirstIndex) - 1: the 0-based byte
  // offset of the match when only one-byte characters precede it, otherwise where the match text first
  // occurs from that (UTF-16 based) start, -2 when it is not found from there.
  virtual Text MatchText(int32_t index, int32_t* position = nullptr) const;
  // As MatchText, for a capturing group; `position` searches for the group's text from the whole
  // match's FirstIndex, a group having no offset of its own.
  virtual Text SubMatchText(int32_t matchIndex, int32_t subIndex, int32_t* position = nullptr) const;
  // The number of capturing groups in the first match; 0 when there is none.
  virtual int32_t SubMatchCount() const;

  ComObject Engine;   // the VBScript.RegExp of the last Create
  ComObject Matches;  // the match collection its "Execute" gave
  Variant Subject;    // the last subject as a byte array of terminated UTF-16LE; before that the integer 0

 protected:
  PatternMatcher(const PatternMatcher& other);
};
