// Any URL or header text: the cuts never fail, the path is "/" or a tail of the URL starting with
// "/", and header text passed as sound can neither hold a stray CR or LF nor end the header block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "http/line_breaks.h"
#include "http/url_split.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Text input(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string_view url = input.view();

  const Text path = UrlPath(input);
  const bool pathIsTail = path.view().size() <= url.size() && url.substr(url.size() - path.view().size()) == path.view();
  if (path.empty() || path.view().front() != '/' || (!pathIsTail && path.view() != "/")) std::abort();
  const Text host = UrlHost(input);
  if (host.view().size() > url.size()) std::abort();
  (void)UrlPort(input);

  if (UrlHasNoLineBreak(input) != (url.find_first_of("\r\n") == std::string_view::npos)) std::abort();
  if (HeaderLinesAreSound(input)) {
    std::string rest(url);
    if (rest.rfind("\r\n", 0) == 0 || rest.find("\r\n\r\n") != std::string::npos) std::abort();
    for (size_t at; (at = rest.find("\r\n")) != std::string::npos;) rest.erase(at, 2);
    if (rest.find_first_of("\r\n") != std::string::npos) std::abort();
  }
  return 0;
}
