// Where the matcher reports a match's text to lie in its subject (pure, no windows.h).
#pragma once

#include <cstdint>

#include "text/text.h"

// The byte search for `found` that starts at the engine's FirstIndex, minus one. FirstIndex counts
// UTF-16 units from 0 but is taken as a 1-based byte start, so the answer is the match's 0-based byte
// offset when only one-byte characters precede it (or one less when the text also occurs a byte
// earlier); with two-byte characters before it, the first occurrence from that earlier start, or -2
// when the search, out of step with the characters, passes over it.
int32_t MatchPosition(const Text& subject, const Text& found, int32_t firstIndex);
