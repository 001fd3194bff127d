// Shutdown and lifetime events that only the end-to-end tests observe: with test hooks built in and
// QUORVANE_TRACE naming a file, each event is appended to it as one line. Otherwise nothing happens.
#pragma once

#include <string_view>

void TestTrace(std::string_view event);
// The same for a trace file named by another environment variable (a subsystem's own trace).
void TestTraceTo(const char* variable, std::string_view event);
