// One complete HTTP exchange through WinINet, on the GUI thread.
#pragma once

#include "text/text.h"

// Sends one request and gives the response body: the bytes before its first zero byte, whatever the
// status, or the empty text when the exchange fails. Every handle is opened and closed within the
// call. Pending window events are dispatched before every read of the response.
//
// The optional arguments are the caller's variables; a null pointer is an omitted argument.
//   method           in/out; anything whose upper case is not "POST" is replaced by "GET" (an
//                    omitted method is a GET). A POST keeps the caller's letter case.
//   proxy            in; when given, the request goes through the HTTP proxy "http=" + proxy.
//   requestHeaders   in/out; lines each ending in "\r\n". The missing default Accept, Referer and
//                    Accept-Language lines are appended to it, and for a non-GET request with a
//                    body the Content-Type and Content-Length lines too.
//   body             in; sent after the headers unless the method is "GET".
//   responseHeaders  out; when given, receives the raw response headers (1024 bytes at most; 1024
//                    spaces when they cannot be read).
// A URL holding CR or LF, or header text with a CR or LF that does not end a non-empty line, is
// refused: nothing goes on the wire, the result is the empty text and no variable changes. So is a
// request whose connection cannot be made.
Text HttpAccess(const Text& url, Text* method = nullptr, const Text* proxy = nullptr,
                Text* requestHeaders = nullptr, const Text* body = nullptr,
                Text* responseHeaders = nullptr);
