#include "http/http_access.h"

#include <string>

#include "app/shell.h"
#include "http/line_breaks.h"
#include "http/url_split.h"
#include "text/byte_set.h"
#include "win32/scoped.h"

// commdlg.h maps FindText to FindTextW; here it is the text search.
#undef FindText

namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr char kDefaultAccept[] =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
constexpr char kDefaultAcceptLanguage[] = "Accept-Language: zh-cn\r\n";
constexpr char kBodyType[] = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr DWORD kTimeoutMs = 18000;
constexpr int32_t kReadChunk = 512;
constexpr int32_t kHeaderBufferSize = 1024;

// The three handles of one exchange, closed in the order Internet, connection, request on every
// way out.
struct ExchangeHandles {
  ScopedInternetHandle internet;
  ScopedInternetHandle connection;
  ScopedInternetHandle request;

  ExchangeHandles() = default;
  ExchangeHandles(const ExchangeHandles&) = delete;
  ExchangeHandles& operator=(const ExchangeHandles&) = delete;
  ~ExchangeHandles() {
    internet.reset();
    connection.reset();
    request.reset();
  }
};

HINTERNET OpenInternet(const Text* proxy) {
  if (proxy) {
    const Text proxyList = JoinTexts("http=", *proxy);
    return InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PROXY, proxyList.c_str(), "", 0);
  }
  return InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_DIRECT, "", "", 0);
}

// Anything but a POST (in any letter case) is sent as a GET.
Text SettleMethod(const Text& method) {
  if (CompareTexts(ToUpperCase(method), Text("POST")) != 0) return Text("GET");
  return method;
}

bool Lacks(const Text& headers, const char* name) { return FindText(headers, Text(name), 1, true) == -1; }

Text CompleteHeaders(Text headers, const Text& url) {
  if (Lacks(headers, "Accept: ")) headers = JoinTexts(headers, kDefaultAccept);
  if (Lacks(headers, "Referer: ")) headers = JoinTexts(headers, "Referer: ", url, "\r\n");
  if (Lacks(headers, "Accept-Language: ")) headers = JoinTexts(headers, kDefaultAcceptLanguage);
  return headers;
}

// WinINet connects only when the request is sent, so this is where a connection that cannot be
// made shows up.
bool ConnectionFailed(DWORD error) {
  return error == ERROR_INTERNET_CANNOT_CONNECT || error == ERROR_INTERNET_NAME_NOT_RESOLVED;
}

// Reads until a read delivers nothing or fails. Pieces are appended to one growing buffer, so the
// whole body costs linear time.
std::string ReadBody(HINTERNET request) {
  std::string body;
  DWORD count = 1;
  while (count > 0) {
    ByteSet buffer = BlankByteSet(kReadChunk);
    ProcessPendingEvents();
    if (!InternetReadFile(request, buffer.data(), kReadChunk, &count)) count = 0;
    body.append(reinterpret_cast<const char*>(buffer.data()), count);
  }
  return body;
}

Text QueryResponseHeaders(HINTERNET request) {
  std::string buffer = BlankText(kHeaderBufferSize).str();
  DWORD size = kHeaderBufferSize;
  HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, buffer.data(), &size, nullptr);
  return Text(std::string_view(buffer));  // up to the first zero byte
}

}  // namespace

Text HttpAccess(const Text& url, Text* method, const Text* proxy, Text* requestHeaders, const Text* body,
                Text* responseHeaders) {
  const Text callerHeaders = requestHeaders ? *requestHeaders : Text();
  if (!UrlHasNoLineBreak(url) || !HeaderLinesAreSound(callerHeaders)) return Text();

  ExchangeHandles handles;
  handles.internet.reset(OpenInternet(proxy));
  if (!handles.internet) return Text();

  handles.connection.reset(InternetConnectA(handles.internet.get(), UrlHost(url).c_str(),
                                            static_cast<INTERNET_PORT>(UrlPort(url)), "", "",
                                            INTERNET_SERVICE_HTTP, 0, 0));
  if (!handles.connection) return Text();

  // The caller's method and headers are written back only once the request has reached a server
  // (see ConnectionFailed), so a connection that cannot be made leaves them as they were. No event
  // runs before the reads, so to any observer they change at the same point as if written at once.
  const Text verb = SettleMethod(method ? *method : Text());
  handles.request.reset(HttpOpenRequestA(handles.connection.get(), verb.c_str(), UrlPath(url).c_str(),
                                         "HTTP/1.1", nullptr, nullptr, INTERNET_FLAG_RELOAD, 0));
  if (!handles.request) return Text();

  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT,
                       INTERNET_OPTION_CONTROL_SEND_TIMEOUT}) {
    DWORD timeout = kTimeoutMs;
    InternetSetOptionA(handles.request.get(), option, &timeout, sizeof timeout);
  }

  Text headers = CompleteHeaders(callerHeaders, url);
  const Text content = body ? *body : Text();
  const bool isGet = CompareTexts(verb, Text("GET")) == 0;
  const bool sendsBody = !isGet && !content.empty();
  if (sendsBody) {
    headers = JoinTexts(headers, kBodyType, "Content-Length: ", IntegerToText(TextLength(content)), "\r\n");
  }
  const BOOL sent = HttpSendRequestA(handles.request.get(), headers.c_str(), static_cast<DWORD>(headers.length()),
                                     sendsBody ? const_cast<char*>(content.c_str()) : nullptr,
                                     sendsBody ? static_cast<DWORD>(content.length()) : 0);
  if (!sent && ConnectionFailed(GetLastError())) return Text();

  if (method) *method = verb;
  if (requestHeaders) *requestHeaders = headers;

  const std::string received = ReadBody(handles.request.get());
  if (responseHeaders) *responseHeaders = QueryResponseHeaders(handles.request.get());
  return Text(std::string_view(received));  // up to the first zero byte
}
