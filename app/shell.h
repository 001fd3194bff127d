// The shell: start-up and shutdown, the event loop, exit routines and fatal errors.
#pragma once

#include <cstdint>

#include "text/text.h"

// Runs the tool's whole life on the GUI thread; always returns 0.
int StartProgram();
// Runs the exit routines, unloads the bound libraries, uninitialises OLE. Reached once more on
// teardown, it finds nothing left to do.
void ShutDownProgram();

void RunEventLoop();
// Dispatches every waiting message except the quit request, which stays queued for the event loop.
void ProcessPendingEvents();

using ExitRoutine = void (*)();
// A routine already in the list is not added again.
void RegisterExitRoutine(ExitRoutine routine);

// Shows the error box, drops the exit routines, cleans up and ends the process with -1.
[[noreturn]] void FatalStop(const Text& message, int32_t errorNumber = 0);

// The executable's directory (no trailing backslash) and file name, in code page 936.
const Text& ProgramDirectory();
const Text& ProgramFileName();

// Called by every top-level window of the program when it is destroyed: posts the quit request once
// no window is left and the event loop has been entered.
void NoteWindowCreated();
void NoteWindowDestroyed();

// Unloads the libraries bound for external calls; run by shutdown and by FatalStop.
using LibraryUnloader = void (*)();
void RegisterLibraryUnloader(LibraryUnloader unloader);
