// A small HTTP server on 127.0.0.1 for tests, running on threads of the test process. It records the
// raw bytes of every request it receives and answers each one as told: a fixed body with any status,
// a body sent in pieces (chunked, or with a pause before a piece), a transfer cut off mid-body, or a
// hang-up without any answer. Every answer closes its connection.
//
//   loopback::Server server(loopback::Reply::WithBody("hello"));
//   Text body = HttpAccess(Text(server.Url("/word/x.html")));
//   ASSERT_EQ(server.RequestCount(), 1u);
//   EXPECT_EQ(server.Requests()[0].requestLine, "GET /word/x.html HTTP/1.1");
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace loopback {

// One piece of a response body. Before it is sent, the server waits delayMs, then runs `before` on
// its own thread (a test can post a window message there, or wait for something the client does).
struct Piece {
  Piece(std::string bytes, int delayMs = 0, std::function<void()> before = {})  // NOLINT(google-explicit-constructor)
      : bytes(std::move(bytes)), delayMs(delayMs), before(std::move(before)) {}

  std::string bytes;
  int delayMs = 0;
  std::function<void()> before;
};

enum class Framing {
  ContentLength,  // "Content-Length:" announces the body (see Reply::announcedLength)
  Chunked,        // "Transfer-Encoding: chunked", one chunk per non-empty piece
  UntilClose,     // no length at all; the body ends when the connection closes
};

struct Reply {
  int status = 200;
  std::string reason = "OK";
  std::vector<std::string> headers;  // extra header lines, without their "\r\n"
  std::vector<Piece> pieces;
  Framing framing = Framing::ContentLength;
  // With Framing::ContentLength: the length announced, or -1 for the bytes actually sent. A larger
  // value makes a transfer that breaks off mid-body.
  int64_t announcedLength = -1;
  // Reads the request, then closes the connection without a byte of answer.
  bool hangUp = false;

  static Reply WithBody(std::string body, int status = 200, std::string reason = "OK");
  // The body in pieces, each sent as one chunk.
  static Reply ChunkedPieces(std::vector<Piece> pieces);
  // Announces announcedLength bytes, sends `sent` and closes the connection.
  static Reply BrokenAfter(std::string sent, int64_t announcedLength);
  static Reply HangUp();
};

// One request as received.
struct Request {
  std::string raw;                       // every byte received: head, then body
  std::string requestLine;               // without "\r\n"
  std::vector<std::string> headerLines;  // in order, without "\r\n"
  std::string body;                      // every byte after the head

  // The value of the first header line with this name (any letter case), or nullptr.
  const std::string* Header(std::string_view name) const;
  // How many header lines have this name (any letter case).
  size_t CountHeaders(std::string_view name) const;
};

class Server {
 public:
  using Responder = std::function<Reply(const Request&)>;

  // Listens on 127.0.0.1 at a free port and answers every request with `reply`.
  explicit Server(Reply reply = Reply::WithBody(""));
  // Answers every request with what `responder` makes of it (called on a server thread).
  explicit Server(Responder responder);
  // Stops listening, cuts open connections, waits for the server's threads.
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  uint16_t port() const;
  // "http://127.0.0.1:<port>" followed by the path.
  std::string Url(std::string_view path = "/") const;
  // "127.0.0.1:<port>", the form a proxy setting takes.
  std::string HostAndPort() const;

  // Replaces the answer for requests from now on.
  void SetReply(Reply reply);
  // The requests recorded so far, in the order they arrived.
  std::vector<Request> Requests() const;
  size_t RequestCount() const;
  size_t ConnectionCount() const;
  // Waits up to timeoutMs until `count` requests are recorded; false when they are not.
  bool WaitForRequests(size_t count, int timeoutMs) const;

  // A loopback port on which nothing listens, so a connection there is refused.
  static uint16_t PortWithNoListener();

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace loopback
