// Conversion between code-page-936 text and UTF-16LE units held in a byte set. Every routine names
// code page 936 itself, whatever the system's ANSI code page is.
#pragma once

#include "text/byte_set.h"
#include "text/text.h"

// The text's UTF-16LE units followed by one zero unit. The empty text gives that zero unit alone.
ByteSet AnsiToUnicode(const Text& text);
// The empty byte set for the empty text; otherwise as AnsiToUnicode, without the zero unit when
// dropTerminator is set.
ByteSet AnsiToUnicodeEx(const Text& text, bool dropTerminator = false);
// The whole UTF-16LE units up to the first zero unit (an odd last byte takes no part), in code
// page 936. Combining sequences are composed first; unrepresentable characters become '?'.
Text UnicodeToAnsi(const ByteSet& units);
