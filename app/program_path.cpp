#include "app/program_path.h"

ProgramPath SplitProgramPath(const Text& fullPath) {
  // The last backslash, found byte by byte: a backslash byte can also be the second byte of a
  // two-byte character, so it is found the way the system's own path functions find it.
  const std::string_view path = fullPath.view();
  size_t cut = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '\\') cut = i;
  }
  if (cut == std::string_view::npos) return {Text(), fullPath};
  return {Text(path.substr(0, cut)), Text(path.substr(cut + 1))};
}
