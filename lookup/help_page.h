#pragma once

#include "text/text.h"

// The absolute address of the help page embedded in the executable (resource HELP.HTML).
Text HelpPageAddress();
