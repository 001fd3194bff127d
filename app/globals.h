// The three global objects of the run: the page text, the matcher and the result document holder.
// They live from InitGlobals at start-up to ReleaseGlobals, the exit routine, and are used on the GUI
// thread only.
#pragma once

#include <memory>

#include "regex/com_object.h"
#include "regex/pattern_matcher.h"
#include "text/text.h"

// The page of the last query, then the block cut out of it.
extern Text PageText;
// The regular-expression object of the query; its construction adds a reference to the thread's COM
// library and its destruction removes it again.
extern std::unique_ptr<PatternMatcher> Matcher;
// The web view's document from the last query; empty until then.
extern std::unique_ptr<ComObject> ResultDocument;

void InitGlobals();
// Releases PageText, then Matcher (ending with its CoUninitialize), then the document holder, all
// while the shell's OLE apartment is still open.
void ReleaseGlobals();
