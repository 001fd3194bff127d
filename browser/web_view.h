// The web view control 彗星网页框1: a child window of our own class that shows HTML documents.
// It never fetches from the network: it loads "about:blank", pages embedded in an executable
// (res://<module>/<resource>), and local files; a network address shows a short offline page.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "win32/scoped.h"

extern const wchar_t kWebViewClassName[];

// Registers the window class; true when it is registered (also when it already was).
bool RegisterWebViewClass(HINSTANCE instance);

// Starts loading the address and returns at once; the view's document changes once it has loaded
// (when the posted request is handled by the event loop).
void WebViewNavigate(HWND view, const wchar_t* address);

// The automation object of the document the view holds, with a reference for the caller; null
// when the view holds none. Its "write" adds HTML (starting a new document when the current one
// has finished loading) and "close" ends the writing so the view shows what was written.
ComPtr<IDispatch> WebViewDocument(HWND view);
