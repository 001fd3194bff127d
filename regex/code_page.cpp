#include "regex/code_page.h"

#include <windows.h>

#include "regex/wide_text.h"

namespace {

constexpr UINT kCodePage = 936;

// Measures, then converts through the terminating zero byte. Bytes that form no character of the
// code page are converted all the same (flags 0 raise no error). A refusal gives the empty byte set.
ByteSet TerminatedUnits(const Text& text) {
  const int units = MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, nullptr, 0);
  ByteSet out = BlankByteSet(2 * units);
  if (units == 0) return out;
  // The data of a byte set is 8 bytes into its block, so it is aligned for wide characters.
  const int written = MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, reinterpret_cast<wchar_t*>(out.data()), units);
  if (written != units) return ByteSet();
  return out;  // moved, not copied: the subject can be large
}

}  // namespace

ByteSet AnsiToUnicode(const Text& text) { return TerminatedUnits(text); }

ByteSet AnsiToUnicodeEx(const Text& text, bool dropTerminator) {
  if (CompareTexts(text, Text()) == 0) return ByteSet();
  ByteSet out = TerminatedUnits(text);
  if (dropTerminator && !out.isNull()) return ByteSetLeft(out, ByteSetLength(out) - 2);
  return out;
}

Text UnicodeToAnsi(const ByteSet& bytes) {
  const int units = ByteSetLength(bytes) / 2;
  const uint8_t* data = bytes.data();
  // Only the units before the first zero unit count; nothing past the whole units is read.
  int used = 0;
  while (used < units && (data[2 * used] != 0 || data[2 * used + 1] != 0)) ++used;
  if (used == 0) return Text();
  return WideToText(kCodePage, WC_COMPOSITECHECK, reinterpret_cast<const wchar_t*>(data), used);
}
