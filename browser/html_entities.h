// Character references: &amp; &#20013; &#x4E2D; and the named entities of HTML 4 (plus &apos;).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace html {

// `in` starts at '&'. Appends the decoded character to `out` and answers how many units were read,
// or 0 when the '&' starts no reference (the caller keeps it literally). Within attribute values a
// name without ';' followed by a letter, digit or '=' is left alone, as browsers do.
size_t DecodeCharacterReference(std::u16string_view in, bool inAttribute, std::u16string& out);

}  // namespace html
