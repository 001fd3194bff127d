// Small helpers shared by the HttpAccess tests.
#pragma once

#include <string>
#include <vector>

#include "testsupport/loopback_server.h"

namespace http_test {

inline constexpr char kUserAgentLine[] = "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
inline constexpr char kAcceptLine[] =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
inline constexpr char kLanguageLine[] = "Accept-Language: zh-cn";

// The lines of a header text, without their "\r\n".
inline std::vector<std::string> Lines(const std::string& headers) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < headers.size()) {
    size_t end = headers.find("\r\n", at);
    if (end == std::string::npos) end = headers.size();
    lines.push_back(headers.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The header lines the program passed: WinINet puts its own (Host, a Content-Length for an empty
// POST) first and the program's after the User-Agent line it was given.
inline std::vector<std::string> LinesAfterUserAgent(const loopback::Request& r) {
  for (size_t i = 0; i < r.headerLines.size(); ++i) {
    if (r.headerLines[i] == kUserAgentLine) return {r.headerLines.begin() + i + 1, r.headerLines.end()};
  }
  return {};
}

// A body whose bytes tell their positions apart.
inline std::string NumberedBytes(size_t count) {
  std::string s(count, '\0');
  for (size_t i = 0; i < count; ++i) s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
  return s;
}

}  // namespace http_test
