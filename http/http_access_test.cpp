#include "http/http_access.h"

#include <gtest/gtest.h>

#include <string>

#include "http/http_access_test_support.h"
#include "testsupport/loopback_server.h"

namespace {

using http_test::kAcceptLine;
using http_test::kLanguageLine;
using http_test::kUserAgentLine;
using http_test::Lines;
using http_test::LinesAfterUserAgent;
using loopback::Reply;
using loopback::Request;
using loopback::Server;

// The one request the server got, or an empty one (after a failed assertion).
Request OnlyRequest(const Server& server) {
  const auto requests = server.Requests();
  EXPECT_EQ(requests.size(), 1u);
  return requests.empty() ? Request{} : requests.front();
}

TEST(HttpAccessWireTest, KeywordQueryRequest) {
  Server server(Reply::WithBody("<html>page</html>"));
  const std::string path = "/word/关键词.html";  // the keyword's code page 936 bytes, as typed
  const Text url(server.Url(path));
  Text method("POST");

  EXPECT_EQ(HttpAccess(url, &method).str(), "<html>page</html>");
  EXPECT_EQ(method.str(), "POST");

  const Request r = OnlyRequest(server);
  EXPECT_EQ(r.requestLine, "POST " + path + " HTTP/1.1");
  const std::vector<std::string> ours = {kAcceptLine, "Referer: " + url.str(), kLanguageLine};
  EXPECT_EQ(LinesAfterUserAgent(r), ours);
  EXPECT_EQ(r.CountHeaders("User-Agent"), 1u);
  EXPECT_EQ(r.CountHeaders("Content-Type"), 0u);
  // WinINet announces the empty body of a POST itself; no length line comes from the program.
  ASSERT_LE(r.CountHeaders("Content-Length"), 1u);
  if (r.Header("Content-Length")) {
    EXPECT_EQ(*r.Header("Content-Length"), "Content-Length: 0");
  }
  EXPECT_EQ(r.body, "");
}

TEST(HttpAccessWireTest, MethodRules) {
  struct Case {
    const char* given;  // nullptr: omitted
    const char* sent;
  };
  const Case cases[] = {{nullptr, "GET"}, {"", "GET"},     {"PUT", "GET"},   {"get", "GET"},
                        {"GET", "GET"},   {"POSTS", "GET"}, {"POST", "POST"}, {"post", "post"},
                        {"pOsT", "pOsT"}};
  Server server;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.given ? c.given : "(omitted)");
    const size_t before = server.RequestCount();
    Text method(c.given);
    HttpAccess(Text(server.Url("/m")), c.given ? &method : nullptr);
    if (c.given) {
      EXPECT_EQ(method.str(), c.sent);
    }
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back().requestLine, std::string(c.sent) + " /m HTTP/1.1");
  }
}

TEST(HttpAccessWireTest, HeaderCompletion) {
  struct Case {
    const char* given;
    bool addsAccept, addsReferer, addsLanguage;
  };
  const Case cases[] = {
      {"", true, true, true},
      {"X-Custom: 1\r\nX-Other: 2\r\n", true, true, true},
      {"Accept: text/html\r\n", false, true, true},
      {"aCCEPT: text/html\r\n", false, true, true},
      {"X-Accept: 1\r\n", false, true, true},  // a name merely ending in Accept counts too
      {"Referer: http://elsewhere/\r\n", true, false, true},
      {"ACCEPT-LANGUAGE: en\r\n", true, true, false},
      {"Accept: */*\r\nReferer: x\r\nAccept-Language: de\r\n", false, false, false},
  };
  Server server;
  const Text url(server.Url("/h?q=1"));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.given)));
    std::string expected = c.given;
    if (c.addsAccept) expected += std::string(kAcceptLine) + "\r\n";
    if (c.addsReferer) expected += "Referer: " + url.str() + "\r\n";
    if (c.addsLanguage) expected += std::string(kLanguageLine) + "\r\n";

    const size_t before = server.RequestCount();
    Text headers(c.given);
    HttpAccess(url, nullptr, nullptr, &headers);
    EXPECT_EQ(headers.str(), expected);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(LinesAfterUserAgent(requests.back()), Lines(expected));
  }
}

// The test looks for "Accept: " with its blank, so "Accept:text/html" gets the default line after
// it. WinINet sends one line per header name, and the later one wins.
TEST(HttpAccessWireTest, AcceptWithoutBlankGetsTheDefaultToo) {
  Server server;
  const Text url(server.Url("/h"));
  Text headers("Accept:text/html\r\n");
  HttpAccess(url, nullptr, nullptr, &headers);
  EXPECT_EQ(headers.str(), "Accept:text/html\r\n" + std::string(kAcceptLine) + "\r\nReferer: " + url.str() +
                               "\r\n" + kLanguageLine + "\r\n");
  const Request r = OnlyRequest(server);
  EXPECT_EQ(r.CountHeaders("Accept"), 1u);
  EXPECT_EQ(LinesAfterUserAgent(r).front(), kAcceptLine);
}

TEST(HttpAccessWireTest, BodyRules) {
  const std::string defaults = std::string(kAcceptLine) + "\r\n" + "Referer: {url}\r\n" + kLanguageLine + "\r\n";
  struct Case {
    const char* method;
    const char* body;
    const char* sentBody;
    const char* addedLines;  // after the defaults
  };
  const Case cases[] = {
      {"POST", "a=1&b=2", "a=1&b=2",
       "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n"},
      {"post", "x", "x", "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 1\r\n"},
      {"POST", "", "", ""},
      {"GET", "a=1&b=2", "", ""},
      {"PUT", "a=1&b=2", "", ""},
  };
  Server server;
  const Text url(server.Url("/b"));
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.method) + " with " + c.body);
    std::string expected = defaults;
    expected.replace(expected.find("{url}"), 5, url.str());
    expected += c.addedLines;

    const size_t before = server.RequestCount();
    Text method(c.method), headers, body(c.body);
    HttpAccess(url, &method, nullptr, &headers, &body);
    EXPECT_EQ(headers.str(), expected);
    EXPECT_EQ(body.str(), c.body);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), before + 1);
    const Request& r = requests.back();
    EXPECT_EQ(r.body, c.sentBody);
    EXPECT_EQ(LinesAfterUserAgent(r), Lines(expected));
    EXPECT_EQ(r.CountHeaders("Content-Type"), *c.addedLines ? 1u : 0u);
    EXPECT_LE(r.CountHeaders("Content-Length"), 1u);
  }
}

TEST(HttpAccessResponseTest, BodyAsReceived) {
  const std::string big = http_test::NumberedBytes(1300);
  struct Case {
    const char* name;
    Reply reply;
    std::string expected;
  };
  Reply untilClose = Reply::WithBody("no length given");
  untilClose.framing = loopback::Framing::UntilClose;
  const Case cases[] = {
      {"1300 bytes", Reply::WithBody(big), big},
      {"a zero byte ends the text", Reply::WithBody(std::string("abc\0def", 7)), "abc"},
      {"zero byte first", Reply::WithBody(std::string("\0abc", 4)), ""},
      {"error page", Reply::WithBody("<h1>Not Found</h1>", 404, "Not Found"), "<h1>Not Found</h1>"},
      {"empty body", Reply::WithBody(""), ""},
      {"code page 936 bytes untouched", Reply::WithBody("\xD6\xD0\xCE\xC4\x80\xFF"), "\xD6\xD0\xCE\xC4\x80\xFF"},
      {"chunked with pauses", Reply::ChunkedPieces({{big.substr(0, 700)}, {big.substr(700, 1), 50}, {big.substr(701), 50}}),
       big},
      {"until the connection closes", untilClose, "no length given"},
      {"broken mid-body", Reply::BrokenAfter(big.substr(0, 900), 5000), big.substr(0, 900)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Server server(c.reply);
    EXPECT_EQ(HttpAccess(Text(server.Url("/r"))).str(), c.expected);
  }
}

TEST(HttpAccessResponseTest, ResponseHeadersWhenAsked) {
  Reply reply = Reply::WithBody("body", 201, "Created");
  reply.headers = {"X-Test: yes"};
  Server server(reply);
  Text responseHeaders("old value");
  EXPECT_EQ(HttpAccess(Text(server.Url("/rh")), nullptr, nullptr, nullptr, nullptr, &responseHeaders).str(), "body");
  EXPECT_EQ(Lines(responseHeaders.str()).front(), "HTTP/1.1 201 Created");
  EXPECT_NE(responseHeaders.str().find("\r\nX-Test: yes\r\n"), std::string::npos);
  EXPECT_EQ(responseHeaders.str().substr(responseHeaders.str().size() - 4), "\r\n\r\n");
}

TEST(HttpAccessResponseTest, ResponseHeadersTooLargeForTheBufferGiveSpaces) {
  Reply reply = Reply::WithBody("body");
  reply.headers = {"X-Long: " + std::string(1100, 'x')};
  Server server(reply);
  Text responseHeaders;
  EXPECT_EQ(HttpAccess(Text(server.Url("/rh")), nullptr, nullptr, nullptr, nullptr, &responseHeaders).str(), "body");
  EXPECT_EQ(responseHeaders.str(), std::string(1024, ' '));
}

// A failure before anything reaches a server leaves every variable of the caller as it was.
TEST(HttpAccessFailureTest, NoConnectionLeavesVariablesUntouched) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(Server::PortWithNoListener()) + "/x";
  for (const char* url : {refused.c_str(), "http:///x", "http://:80/x"}) {
    SCOPED_TRACE(url);
    Text method("put"), headers("X-A: 1\r\n"), body("a=1"), responseHeaders("keep");
    EXPECT_EQ(HttpAccess(Text(url), &method, nullptr, &headers, &body, &responseHeaders).str(), "");
    EXPECT_EQ(method.str(), "put");
    EXPECT_EQ(headers.str(), "X-A: 1\r\n");
    EXPECT_EQ(responseHeaders.str(), "keep");
  }
}

// A server that takes the request and hangs up has been reached: the method and headers are
// settled as for any request, and the body is empty.
TEST(HttpAccessFailureTest, HangUpGivesEmptyText) {
  Server server(Reply::HangUp());
  Text method("put"), headers;
  EXPECT_EQ(HttpAccess(Text(server.Url("/x")), &method, nullptr, &headers).str(), "");
  EXPECT_EQ(method.str(), "GET");
  EXPECT_EQ(Lines(headers.str()).size(), 3u);
  EXPECT_EQ(server.RequestCount(), 1u);
}

// CR or LF in the URL (which carries the user's keyword) or outside the line endings of the header
// text would add lines or a second request of the text's own making: such a request is refused.
TEST(HttpAccessFailureTest, LineBreaksInUrlOrHeadersPutNothingOnTheWire) {
  struct Case {
    const char* path;
    const char* headers;
  };
  const Case cases[] = {
      {"/word/a\r\nX-Injected: 1\r\n.html", ""},
      {"/word/a HTTP/1.1\r\nHost: x\r\n\r\nGET /second", ""},
      {"/word/a\nX-Injected: 1", ""},
      {"/word/a\rX-Injected: 1", ""},
      {"/ok", "X-A: 1\r\n\r\nGET /second HTTP/1.1\r\n"},
      {"/ok", "X-A: 1\nX-Injected: 1\r\n"},
      {"/ok", "X-A: 1\rX-Injected: 1\r\n"},
      {"/ok", "\r\n"},
  };
  Server server(Reply::WithBody("must not be read"));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.path) + " | " + c.headers));
    Text method("put"), headers(c.headers), responseHeaders("keep");
    EXPECT_EQ(HttpAccess(Text(server.Url(c.path)), &method, nullptr, &headers, nullptr, &responseHeaders).str(), "");
    EXPECT_EQ(method.str(), "put");
    EXPECT_EQ(headers.str(), c.headers);
    EXPECT_EQ(responseHeaders.str(), "keep");
  }
  // Requests are served in the order they arrive, so the next one shows that nothing came before.
  server.SetReply(Reply::WithBody("clean"));
  EXPECT_EQ(HttpAccess(Text(server.Url("/clean"))).str(), "clean");
  EXPECT_EQ(server.ConnectionCount(), 1u);
  EXPECT_EQ(OnlyRequest(server).requestLine, "GET /clean HTTP/1.1");
}

TEST(HttpAccessProxyTest, ProxyGivenGoesThroughIt) {
  Server proxy(Reply::WithBody("from the proxy"));
  Server target(Reply::WithBody("from the target"));
  const Text proxyText(proxy.HostAndPort());
  EXPECT_EQ(HttpAccess(Text(target.Url("/x?q=1")), nullptr, &proxyText).str(), "from the proxy");
  EXPECT_EQ(OnlyRequest(proxy).requestLine, "GET " + target.Url("/x?q=1") + " HTTP/1.1");
  EXPECT_EQ(target.RequestCount(), 0u);
}

// The empty proxy text opens the Internet handle in proxy mode with the list "http=", which names
// no server; WinINet (as Wine implements it) then connects directly.
TEST(HttpAccessProxyTest, EmptyProxyListNamesNoServer) {
  Server target(Reply::WithBody("from the target"));
  const Text empty;
  EXPECT_EQ(HttpAccess(Text(target.Url("/y")), nullptr, &empty).str(), "from the target");
  EXPECT_EQ(OnlyRequest(target).requestLine, "GET /y HTTP/1.1");
}

}  // namespace
