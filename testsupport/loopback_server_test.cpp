// The test server at the socket level, so its framing does not rest on WinINet's reading of it.
#include <winsock2.h>

#include "testsupport/loopback_server.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LoopbackServerTest : public testing::Test {
 protected:
  void SetUp() override { WSAStartup(MAKEWORD(2, 2), &data_); }
  void TearDown() override { WSACleanup(); }

  // Sends the bytes and gives every byte of the answer until the server closes; "refused" when
  // the connection cannot be made.
  static std::string Exchange(uint16_t port, const std::string& request) {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      answer = "refused";
    } else {
      send(s, request.data(), static_cast<int>(request.size()), 0);
      char buffer[4096];
      for (int n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<size_t>(n));
    }
    closesocket(s);
    return answer;
  }

  WSADATA data_;
};

TEST_F(LoopbackServerTest, RecordsTheRawRequestAndAnswersAsTold) {
  loopback::Reply reply = loopback::Reply::WithBody("hello", 404, "Not Found");
  reply.headers = {"X-Extra: 1"};
  loopback::Server server(reply);
  const std::string request = "POST /p?q=1 HTTP/1.1\r\nHost: h\r\ncontent-length: 7\r\n\r\na=1&b=2";
  EXPECT_EQ(Exchange(server.port(), request),
            "HTTP/1.1 404 Not Found\r\nX-Extra: 1\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const loopback::Request& r = requests[0];
  EXPECT_EQ(r.raw, request);
  EXPECT_EQ(r.requestLine, "POST /p?q=1 HTTP/1.1");
  EXPECT_EQ(r.headerLines, (std::vector<std::string>{"Host: h", "content-length: 7"}));
  EXPECT_EQ(r.body, "a=1&b=2");
  ASSERT_NE(r.Header("Content-Length"), nullptr);
  EXPECT_EQ(*r.Header("CONTENT-LENGTH"), "content-length: 7");
  EXPECT_EQ(r.CountHeaders("host"), 1u);
  EXPECT_EQ(server.ConnectionCount(), 1u);
}

TEST_F(LoopbackServerTest, OtherAnswers) {
  const std::string request = "GET / HTTP/1.1\r\n\r\n";
  struct Case {
    const char* name;
    loopback::Reply reply;
    std::string answer;
  };
  loopback::Reply untilClose = loopback::Reply::WithBody("abc");
  untilClose.framing = loopback::Framing::UntilClose;
  const Case cases[] = {
      {"chunked", loopback::Reply::ChunkedPieces({{"abc"}, {""}, {std::string(20, 'x'), 10}}),
       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n3\r\nabc\r\n14\r\n" +
           std::string(20, 'x') + "\r\n0\r\n\r\n"},
      {"broken", loopback::Reply::BrokenAfter("abc", 100),
       "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nabc"},
      {"until close", untilClose, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nabc"},
      {"hang up", loopback::Reply::HangUp(), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    loopback::Server server(c.reply);
    EXPECT_EQ(Exchange(server.port(), request), c.answer);
    EXPECT_EQ(server.RequestCount(), 1u);
  }
}

TEST_F(LoopbackServerTest, ResponderSeesTheRequestAndRepliesChange) {
  loopback::Server server([](const loopback::Request& r) { return loopback::Reply::WithBody(r.requestLine); });
  EXPECT_NE(Exchange(server.port(), "GET /a HTTP/1.1\r\n\r\n").find("\r\n\r\nGET /a HTTP/1.1"), std::string::npos);
  server.SetReply(loopback::Reply::WithBody("fixed"));
  EXPECT_NE(Exchange(server.port(), "GET /b HTTP/1.1\r\n\r\n").find("\r\n\r\nfixed"), std::string::npos);
  EXPECT_TRUE(server.WaitForRequests(2, 1000));
  EXPECT_EQ(server.Url("/x"), "http://127.0.0.1:" + std::to_string(server.port()) + "/x");
}

TEST_F(LoopbackServerTest, PortWithNoListenerRefuses) {
  EXPECT_EQ(Exchange(loopback::Server::PortWithNoListener(), "GET / HTTP/1.1\r\n\r\n"), "refused");
}

}  // namespace
