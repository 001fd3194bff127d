// Reads the page an address names: about:blank, pages embedded in a module (res://), local files.
// The view is offline: network addresses give a built-in page saying so, and so do failures.
#pragma once

#include <string>
#include <string_view>

struct LoadedPage {
  std::u16string html;
  std::u16string fragment;  // the part after '#', to scroll to
};

LoadedPage LoadAddress(std::wstring_view address);

// A page's bytes as text: by byte order mark or <meta charset>, else code page 936.
std::u16string DecodePageBytes(std::string_view bytes);
