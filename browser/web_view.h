// The web view control 彗星网页框1: a child window of our own class that shows HTML documents.
// It parses and lays out pages itself (browser/html_*), paints them with GDI, scrolls, lets the
// user select and copy text, and answers WM_GETTEXT with the shown page's text (lines end in
// CR LF, table cells are separated by tabs). It never fetches from the network: links clicked
// open in the user's default browser, and network addresses show a built-in offline page.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "win32/scoped.h"

extern const wchar_t kWebViewClassName[];

// Registers the window class; true when it is registered (also when it already was).
bool RegisterWebViewClass(HINSTANCE instance);

// Starts loading an address into the view and returns at once; the view's document changes once
// the page has loaded, when the view's next messages are dispatched. Addresses: "about:blank",
// "res://module/[type/]name" (a page embedded in a module, type RT_HTML by default),
// "file:///C:/x.html" or a plain path (code page 936 unless a byte order mark or <meta charset>
// says otherwise); http, https and ftp addresses show the offline page.
void WebViewNavigate(HWND view, const wchar_t* address);

// The automation object of the document the view holds, with a reference for the caller; null when
// `view` is no web view. Its members, by name: "write"(text) adds HTML (on a document that has
// finished loading it first starts a new empty one), "close"() ends the writing and the view shows
// what was written, "open"() starts a new empty document, "writeln"(text), "readyState".
ComPtr<IDispatch> WebViewDocument(HWND view);

#if QUORVANE_TEST_HOOKS
// Replaces the opening of clicked links in the default browser (null: the default browser again).
using WebViewLinkOpener = void (*)(const wchar_t* address);
void SetWebViewLinkOpenerForTests(WebViewLinkOpener opener);
#endif
