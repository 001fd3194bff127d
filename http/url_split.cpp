#include "http/url_split.h"

namespace {

constexpr int32_t kPrefixLength = 7;  // "http://"

bool HasHttpPrefix(const Text& url) {
  return CompareTextsNoCase(TextLeft(url, kPrefixLength), Text("http://")) == 0;
}

// 1-based position of the "/" that ends the host part and starts the path, or -1.
int32_t PathStart(const Text& url) {
  return FindText(url, Text("/"), HasHttpPrefix(url) ? kPrefixLength + 1 : 1, true);
}

// Where the server name and port live: between the prefix (if any) and the path start.
Text HostPart(const Text& url) {
  const int32_t slash = PathStart(url);
  if (HasHttpPrefix(url)) {
    if (slash > 0) return TextMid(url, kPrefixLength + 1, slash - (kPrefixLength + 1));
    return ReplaceTextRange(url, 1, kPrefixLength);
  }
  if (slash > 0) return TextLeft(url, slash - 1);
  return url;
}

}  // namespace

Text UrlHost(const Text& url) {
  Text host = HostPart(url);
  const int32_t colon = FindText(host, Text(":"), 1, true);
  if (colon > 0) host = TextLeft(host, colon - 1);
  return ToLowerCase(host);
}

int32_t UrlPort(const Text& url) {
  const Text host = HostPart(url);
  const int32_t colon = FindText(host, Text(":"), 1, true);
  const Text portText = colon > 0 ? TextRight(host, TextLength(host) - colon) : Text("80");
  return TruncateToInteger(TextToNumber(portText));
}

Text UrlPath(const Text& url) {
  const int32_t slash = PathStart(url);
  if (slash > 0) return TextRight(url, TextLength(url) - slash + 1);
  return Text("/");
}
