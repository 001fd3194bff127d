// A stand-in for the shell's ProcessPendingEvents for tests that count the reads of the response:
// HttpAccess calls it once before every read.
#pragma once

int PendingEventsCalls();
void ResetPendingEventsCalls();
