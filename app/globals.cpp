#include "app/globals.h"

#include "app/test_trace.h"

Text PageText;
std::unique_ptr<PatternMatcher> Matcher;
std::unique_ptr<ComObject> ResultDocument;

void InitGlobals() {
  Matcher = std::make_unique<PatternMatcher>();
  ResultDocument = std::make_unique<ComObject>();
}

// After a fatal stop this does not run and the process ends without destroying the objects, so
// nothing is released once OLE is gone.
void ReleaseGlobals() {
  TestTrace("ReleaseGlobals");
  PageText = Text();
  Matcher.reset();
  TestTrace("Matcher CoUninitialize");
  if (ResultDocument) ResultDocument->Clear();
  ResultDocument.reset();
  TestTrace("ResultDocument released");
}
