// Times HttpAccess against a bare InternetReadFile loop of 512-byte reads on the same loopback
// server, for a 10 MB and a 20 MB body. Goals: HttpAccess at most 1.2 times the bare loop, and
// the 20 MB body at most 2.2 times the 10 MB one (the body is collected in linear time).
// A third loop, bare reads with ProcessPendingEvents before each, shows how much of the difference
// is the event check itself that HttpAccess makes before every read.
//   tools/winrun build/bin/http_bench.exe [rounds]
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell.h"
#include "http/http_access.h"
#include "testsupport/loopback_server.h"
#include "win32/scoped.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Body(size_t size) {
  std::string body(size, '\0');
  for (size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

// The same exchange as HttpAccess with nothing around the reads (or only the event check).
std::string BareReadLoop(const loopback::Server& server, const std::string& path, bool checkEvents) {
  ScopedInternetHandle internet(InternetOpenA("bench", INTERNET_OPEN_TYPE_DIRECT, "", "", 0));
  ScopedInternetHandle connection(
      InternetConnectA(internet.get(), "127.0.0.1", server.port(), "", "", INTERNET_SERVICE_HTTP, 0, 0));
  ScopedInternetHandle request(HttpOpenRequestA(connection.get(), "GET", path.c_str(), "HTTP/1.1", nullptr,
                                                nullptr, INTERNET_FLAG_RELOAD, 0));
  HttpSendRequestA(request.get(), "", 0, nullptr, 0);
  std::string body;
  char buffer[512];
  DWORD count = 0;
  for (;;) {
    if (checkEvents) ProcessPendingEvents();
    if (!InternetReadFile(request.get(), buffer, sizeof buffer, &count) || count == 0) break;
    body.append(buffer, count);
  }
  return body;
}

template <typename Run>
double Time(Run run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Other work on the machine only ever adds time, so the best round is the truest figure.
double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::string small = Body(10u << 20);
  const std::string large = Body(20u << 20);
  loopback::Server server([&](const loopback::Request& r) {
    return loopback::Reply::WithBody(r.requestLine.find("/large") != std::string::npos ? large : small);
  });

  struct Figures {
    const char* name;
    const std::string* body;
    std::string path;
    std::vector<double> http = {}, bare = {}, bareWithEvents = {};
  };
  Figures sizes[] = {{"10 MB", &small, "/small"}, {"20 MB", &large, "/large"}};
  bool complete = true;
  for (int round = 0; round < rounds; ++round) {
    for (Figures& f : sizes) {
      f.http.push_back(Time([&] { complete &= HttpAccess(Text(server.Url(f.path))).str() == *f.body; }));
      f.bare.push_back(Time([&] { complete &= BareReadLoop(server, f.path, false) == *f.body; }));
      f.bareWithEvents.push_back(Time([&] { complete &= BareReadLoop(server, f.path, true) == *f.body; }));
    }
  }

  std::printf("http_bench: best of %d rounds, loopback server, 512-byte reads\n", rounds);
  for (const Figures& f : sizes) {
    const double http = Best(f.http), bare = Best(f.bare), withEvents = Best(f.bareWithEvents);
    std::printf("  %s  HttpAccess %6.3f s  bare loop %6.3f s  bare loop + ProcessPendingEvents %6.3f s\n", f.name,
                http, bare, withEvents);
    std::printf("         HttpAccess/bare %.2f (goal <= 1.20)  HttpAccess/(bare + events) %.2f\n", http / bare,
                http / withEvents);
  }
  std::printf("  20 MB / 10 MB: HttpAccess %.2f (goal <= 2.20), bare loop %.2f\n",
              Best(sizes[1].http) / Best(sizes[0].http), Best(sizes[1].bare) / Best(sizes[0].bare));
  if (!complete) std::printf("  a body did not arrive complete\n");
  return complete ? 0 : 1;
}
