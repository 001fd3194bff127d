#pragma once

#include "text/text.h"

// The keyword-statistics service's base address: an absolute http address whose path ends in
// "/word/", set when the program is built (QUORVANE_SERVICE_BASE).
Text ServiceBaseAddress();
