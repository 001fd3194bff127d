// The result view: the web view 彗星网页框1 and the document object the query writes into.
#pragma once

#include <windows.h>

#include "regex/com_object.h"
#include "text/text.h"

// Starts loading the address into the view; the view's document changes once it has loaded.
void NavigateView(HWND view, const Text& address);
// Releases what the holder held and stores the view's current document object (or nothing).
void GetViewDocument(HWND view, ComObject& holder);
// The document's "write" with the text, then "close"; failures are silent.
void WriteDocument(const ComObject& document, const Text& html);
