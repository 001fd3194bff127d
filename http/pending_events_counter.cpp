#include "http/pending_events_counter.h"

#include "app/shell.h"

namespace {
int calls = 0;
}

void ProcessPendingEvents() { ++calls; }
int PendingEventsCalls() { return calls; }
void ResetPendingEventsCalls() { calls = 0; }
