// The web view control 彗星网页框1: a child window of our own class that shows HTML documents.
#pragma once

#include <windows.h>

extern const wchar_t kWebViewClassName[];

// Registers the window class; true when it is registered (also when it already was).
bool RegisterWebViewClass(HINSTANCE instance);
