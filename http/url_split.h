// Splits a URL into the three pieces that WinINet asks for separately. Only the scheme prefix
// "http://" is known; nothing is decoded or escaped, and malformed URLs give whatever the cuts give.
#pragma once

#include <cstdint>

#include "text/text.h"

// The server name in lower case: the host part up to its first ":".
Text UrlHost(const Text& url);
// What follows the first ":" of the host part, read as a number (80 when there is no ":"); a text
// that is not a number gives 0. No range test.
int32_t UrlPort(const Text& url);
// Everything from the first "/" after the host part, query and fragment included; "/" when none.
Text UrlPath(const Text& url);
