// winsock2.h must come before windows.h, which scoped.h brings in.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "testsupport/loopback_server.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "win32/scoped.h"

namespace loopback {
namespace {

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() { return INVALID_SOCKET; }
  static void Close(Handle s) { closesocket(s); }
};
using ScopedSocket = ScopedHandle<SocketTraits>;

// Bounds every wait, so a test whose client goes astray still ends.
constexpr int kIdleLimitMs = 20000;
constexpr int kPollMs = 50;
constexpr size_t kHeadLimit = 1 << 20;

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
           return fold(x) == fold(y);
         });
}

// "Name: value" split at the first ":", the value without leading blanks.
bool SplitHeader(const std::string& line, std::string_view& name, std::string_view& value) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return false;
  name = std::string_view(line).substr(0, colon);
  value = std::string_view(line).substr(colon + 1);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  return true;
}

void ParseInto(Request& r) {
  const size_t headEnd = r.raw.find("\r\n\r\n");
  const std::string head = r.raw.substr(0, headEnd);
  size_t at = 0;
  bool first = true;
  while (at <= head.size()) {
    size_t end = head.find("\r\n", at);
    if (end == std::string::npos) end = head.size();
    std::string line = head.substr(at, end - at);
    if (first) {
      r.requestLine = std::move(line);
      first = false;
    } else {
      r.headerLines.push_back(std::move(line));
    }
    at = end + 2;
  }
  if (headEnd != std::string::npos) r.body = r.raw.substr(headEnd + 4);
}

size_t AnnouncedBodyLength(const Request& r) {
  const std::string* value = r.Header("Content-Length");
  return value ? static_cast<size_t>(std::strtoull(value->c_str(), nullptr, 10)) : 0;
}

std::string ChunkOf(const std::string& bytes) {
  char size[16];
  std::snprintf(size, sizeof size, "%zx\r\n", bytes.size());
  return size + bytes + "\r\n";
}

}  // namespace

Reply Reply::WithBody(std::string body, int status, std::string reason) {
  Reply r;
  r.status = status;
  r.reason = std::move(reason);
  r.pieces.push_back({std::move(body)});
  return r;
}

Reply Reply::ChunkedPieces(std::vector<Piece> pieces) {
  Reply r;
  r.pieces = std::move(pieces);
  r.framing = Framing::Chunked;
  return r;
}

Reply Reply::BrokenAfter(std::string sent, int64_t announcedLength) {
  Reply r = WithBody(std::move(sent));
  r.announcedLength = announcedLength;
  return r;
}

Reply Reply::HangUp() {
  Reply r;
  r.hangUp = true;
  return r;
}

const std::string* Request::Header(std::string_view name) const {
  for (const std::string& line : headerLines) {
    std::string_view n, v;
    if (SplitHeader(line, n, v) && SameNoCase(n, name)) return &line;
  }
  return nullptr;
}

size_t Request::CountHeaders(std::string_view name) const {
  return std::count_if(headerLines.begin(), headerLines.end(), [&](const std::string& line) {
    std::string_view n, v;
    return SplitHeader(line, n, v) && SameNoCase(n, name);
  });
}

struct Server::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool stopping = false;
  Responder responder;
  std::vector<Request> requests;
  size_t connections = 0;
  ScopedSocket listener;
  uint16_t port = 0;
  std::thread acceptor;
  std::vector<std::thread> workers;

  bool Stopping() {
    std::lock_guard lock(mutex);
    return stopping;
  }

  // Waits until the socket can be read (true) or the server stops or the idle limit passes.
  bool WaitReadable(SOCKET s) {
    for (int waited = 0; waited < kIdleLimitMs && !Stopping(); waited += kPollMs) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(s, &set);
      timeval tv{0, kPollMs * 1000};
      const int ready = select(0, &set, nullptr, nullptr, &tv);
      if (ready < 0) return false;
      if (ready > 0) return true;
    }
    return false;
  }

  // Appends what arrives; false at the end of the stream, an error, or a stop.
  bool ReceiveSome(SOCKET s, std::string& into) {
    if (!WaitReadable(s)) return false;
    char buffer[16384];
    const int n = recv(s, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    into.append(buffer, static_cast<size_t>(n));
    return true;
  }

  bool SendAll(SOCKET s, std::string_view bytes) {
    while (!bytes.empty()) {
      const int n = send(s, bytes.data(), static_cast<int>(std::min<size_t>(bytes.size(), 1 << 16)), 0);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

  // Sleeps, cut short when the server stops; false then.
  bool Pause(int ms) {
    std::unique_lock lock(mutex);
    return !changed.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping; });
  }

  void SendReply(SOCKET s, const Reply& reply) {
    size_t total = 0;
    for (const Piece& p : reply.pieces) total += p.bytes.size();
    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reply.reason + "\r\n";
    for (const std::string& line : reply.headers) head += line + "\r\n";
    if (reply.framing == Framing::ContentLength) {
      const int64_t announced = reply.announcedLength >= 0 ? reply.announcedLength : static_cast<int64_t>(total);
      head += "Content-Length: " + std::to_string(announced) + "\r\n";
    } else if (reply.framing == Framing::Chunked) {
      head += "Transfer-Encoding: chunked\r\n";
    }
    head += "Connection: close\r\n\r\n";
    if (!SendAll(s, head)) return;
    for (const Piece& p : reply.pieces) {
      if (p.delayMs > 0 && !Pause(p.delayMs)) return;
      if (p.before) p.before();
      if (p.bytes.empty()) continue;
      if (!SendAll(s, reply.framing == Framing::Chunked ? ChunkOf(p.bytes) : p.bytes)) return;
    }
    if (reply.framing == Framing::Chunked) SendAll(s, "0\r\n\r\n");
  }

  void Serve(ScopedSocket connection) {
    const SOCKET s = connection.get();
    Request request;
    std::string& raw = request.raw;
    size_t headEnd;
    while ((headEnd = raw.find("\r\n\r\n")) == std::string::npos && raw.size() < kHeadLimit &&
           ReceiveSome(s, raw)) {
    }
    if (headEnd != std::string::npos) {
      Request head;
      head.raw = raw.substr(0, headEnd + 4);
      ParseInto(head);
      const size_t end = head.raw.size() + AnnouncedBodyLength(head);
      while (raw.size() < end && ReceiveSome(s, raw)) {
      }
    }
    ParseInto(request);
    if (request.raw.empty()) return;
    Responder respond;
    {
      std::lock_guard lock(mutex);
      requests.push_back(request);
      respond = responder;
    }
    changed.notify_all();
    const Reply reply = respond(request);
    if (!reply.hangUp) SendReply(s, reply);
    // A graceful end: the client reads all that was sent before it sees the close.
    shutdown(s, SD_SEND);
    std::string rest;
    while (ReceiveSome(s, rest)) rest.clear();
  }

  void Accept() {
    while (!Stopping()) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(listener.get(), &set);
      timeval tv{0, kPollMs * 1000};
      if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
      ScopedSocket connection(accept(listener.get(), nullptr, nullptr));
      if (!connection) continue;
      std::lock_guard lock(mutex);
      ++connections;
      workers.emplace_back([this, c = std::move(connection)]() mutable { Serve(std::move(c)); });
    }
  }
};

Server::Server(Reply reply) : Server(Responder([reply](const Request&) { return reply; })) {}

Server::Server(Responder responder) : state_(std::make_shared<State>()) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  state_->responder = std::move(responder);
  state_->listener.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;  // the system picks a free port
  int length = sizeof address;
  if (!state_->listener || bind(state_->listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(state_->listener.get(), SOMAXCONN) != 0 ||
      getsockname(state_->listener.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::fprintf(stderr, "loopback::Server: cannot listen on 127.0.0.1 (error %d)\n", WSAGetLastError());
    std::abort();
  }
  state_->port = ntohs(address.sin_port);
  state_->acceptor = std::thread([s = state_.get()] { s->Accept(); });
}

Server::~Server() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  state_->acceptor.join();
  // No worker is added once the acceptor has ended.
  for (std::thread& worker : state_->workers) worker.join();
  state_->listener.reset();
  WSACleanup();
}

uint16_t Server::port() const { return state_->port; }

std::string Server::Url(std::string_view path) const { return "http://" + HostAndPort() + std::string(path); }

std::string Server::HostAndPort() const { return "127.0.0.1:" + std::to_string(state_->port); }

void Server::SetReply(Reply reply) {
  std::lock_guard lock(state_->mutex);
  state_->responder = [reply](const Request&) { return reply; };
}

std::vector<Request> Server::Requests() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests;
}

size_t Server::RequestCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->requests.size();
}

size_t Server::ConnectionCount() const {
  std::lock_guard lock(state_->mutex);
  return state_->connections;
}

bool Server::WaitForRequests(size_t count, int timeoutMs) const {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return state_->requests.size() >= count; });
}

uint16_t Server::PortWithNoListener() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  uint16_t port = 0;
  {
    ScopedSocket probe(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (probe && bind(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port = ntohs(address.sin_port);
    }
  }  // closed: nothing listens there now
  WSACleanup();
  return port;
}

}  // namespace loopback
