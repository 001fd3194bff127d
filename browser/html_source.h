// Turning the bytes of a page file into text, and reading view addresses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace html {

// The code page of a page's bytes: a byte order mark wins (65001 UTF-8, 1200 UTF-16LE, 1201
// UTF-16BE), then a <meta charset> or http-equiv content type in the first 1024 bytes, else 936.
uint32_t DetectCodePage(std::string_view bytes);
// UTF-8 to UTF-16 (a leading byte order mark dropped; malformed bytes become U+FFFD).
std::u16string DecodeUtf8(std::string_view bytes);
// UTF-16 in either byte order (the byte order mark dropped).
std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian);

enum class AddressKind { kBlank, kResource, kFile, kNetwork, kUnknown };

struct Address {
  AddressKind kind = AddressKind::kUnknown;
  std::u16string module;    // kResource: the module's file name or path
  std::u16string type;      // kResource: the resource type when given ("23", "#23", "HTML"), else empty
  std::u16string name;      // kResource: the resource name
  std::u16string path;      // kFile: a Windows path
  std::u16string fragment;  // after '#', without it
};

// "about:blank"; "res://module/[type/]name"; "file:///C:/dir/x.html", "C:\dir\x.html",
// "\\server\share\x.html" and relative paths; "http://", "https://", "ftp://" (never fetched).
Address ParseAddress(std::u16string_view address);
std::u16string PercentDecode(std::u16string_view s);

// Escapes text for inclusion in an HTML page.
std::u16string EscapeHtml(std::u16string_view s);

}  // namespace html
