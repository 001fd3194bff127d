#include "app/globals.h"

// The matcher and the result document holder arrive with the pattern-matching layer.
void InitGlobals() {}
void ReleaseGlobals() {}
