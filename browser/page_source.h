// Where the view's pages come from: "about:blank", pages embedded in an executable, local files,
// and the built-in offline page for network addresses. Nothing is fetched from the network.
#pragma once

#include <string>

// The HTML of the page at the address, as UTF-16. An address that cannot be loaded gives a short
// page saying so.
std::wstring LoadPageSource(const std::wstring& address);

// Bytes of a page as text: UTF-8 when they start with its byte-order mark, otherwise code page 936.
std::wstring DecodePageBytes(const std::string& bytes);
