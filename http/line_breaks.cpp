#include "http/line_breaks.h"

#include <string_view>

bool UrlHasNoLineBreak(const Text& url) { return url.view().find_first_of("\r\n") == std::string_view::npos; }

bool HeaderLinesAreSound(const Text& headers) {
  std::string_view rest = headers.view();
  while (!rest.empty()) {
    const size_t end = rest.find("\r\n");
    const std::string_view line = rest.substr(0, end);
    if (line.empty() || line.find_first_of("\r\n") != std::string_view::npos) return false;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 2);
  }
  return true;
}
