#include "http/url_split.h"

#include <gtest/gtest.h>

#include "http/line_breaks.h"

namespace {

struct UrlCase {
  const char* url;
  const char* host;
  int32_t port;
  const char* path;
};

const UrlCase kUrlCases[] = {
    {"http://host/word/abc.html", "host", 80, "/word/abc.html"},
    {"HTTP://Host:8080/A/b?x=1", "host", 8080, "/A/b?x=1"},
    {"http://host", "host", 80, "/"},
    {"http://host:81", "host", 81, "/"},
    {"host/x", "host", 80, "/x"},
    {"host:8080", "host", 8080, "/"},
    {"http://host:/x", "host", 0, "/x"},
    {"http://host:abc/x", "host", 0, "/x"},
    {"http://host:8:9/x", "host", 8, "/x"},
    {"http://host: 81/x", "host", 81, "/x"},
    {"http:///x", "", 80, "/x"},
    {"http://", "", 80, "/"},
    {"", "", 80, "/"},
    {"https://host/x", "https", 0, "//host/x"},
    // A ":" after the path start is not a port separator.
    {"http://host/a:99/b?q=x:1", "host", 80, "/a:99/b?q=x:1"},
    {"hTtP://WWW.Example.COM/Word/ABC.html", "www.example.com", 80, "/Word/ABC.html"},
    // Full-width digits after the ":" read as their number (A3 B8 A3 B0 is "80" in full width).
    {"http://host:\xA3\xB8\xA3\xB1/x", "host", 81, "/x"},
    // Bytes of a two-byte character keep their case; only ASCII letters fold.
    {"http://\xC4\x41Host/\xD6\xD0", "\xC4\x41host", 80, "/\xD6\xD0"},
    {"http:/", "http", 0, "/"},
};

TEST(UrlSplitTest, WorkedTable) {
  for (const UrlCase& c : kUrlCases) {
    SCOPED_TRACE(c.url);
    const Text url(c.url);
    EXPECT_EQ(UrlHost(url).str(), c.host);
    EXPECT_EQ(UrlPort(url), c.port);
    EXPECT_EQ(UrlPath(url).str(), c.path);
    EXPECT_EQ(url.str(), c.url);  // never modified
  }
}

TEST(LineBreaksTest, UrlWithCrOrLfIsRefused) {
  EXPECT_TRUE(UrlHasNoLineBreak(Text("http://host/word/a b.html")));
  EXPECT_TRUE(UrlHasNoLineBreak(Text()));
  EXPECT_FALSE(UrlHasNoLineBreak(Text("http://host/word/a\r\nX-Evil: 1\r\n.html")));
  EXPECT_FALSE(UrlHasNoLineBreak(Text("http://host/a\rb")));
  EXPECT_FALSE(UrlHasNoLineBreak(Text("http://host/a\nb")));
}

TEST(LineBreaksTest, HeaderLines) {
  struct Case {
    const char* headers;
    bool sound;
  };
  const Case cases[] = {
      {"", true},
      {"X-A: 1\r\n", true},
      {"X-A: 1\r\nX-B: 2\r\n", true},
      {"X-A: 1", true},  // the defaults are appended to the last line; unusual, but one line still
      {"\r\n", false},
      {"X-A: 1\r\n\r\n", false},
      {"X-A: 1\r\n\r\nGET /second HTTP/1.1\r\n", false},
      {"\r\nX-A: 1\r\n", false},
      {"X-A: 1\nX-B: 2\r\n", false},
      {"X-A: 1\rX-B: 2\r\n", false},
      {"X-A: 1\r\r\n", false},
      {"X-A: 1\r\n\n", false},
      {"X-A: 1\r", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.headers)));
    EXPECT_EQ(HeaderLinesAreSound(Text(c.headers)), c.sound);
  }
}

}  // namespace
