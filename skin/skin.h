#pragma once

// The main window's created event: attaches skin 1 before the window is first shown.
void OnMainWindowCreated();
