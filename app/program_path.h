#pragma once

#include "text/text.h"

// The executable's full path cut at its last backslash: the directory before it (empty when the path
// has none) and the file name after it.
struct ProgramPath {
  Text directory;
  Text fileName;
};

ProgramPath SplitProgramPath(const Text& fullPath);
