#include "regex/match_position.h"

int32_t MatchPosition(const Text& subject, const Text& found, int32_t firstIndex) {
  return FindText(subject, found, firstIndex, false) - 1;
}
