// Counts the reads of the response through a stand-in for ProcessPendingEvents, which HttpAccess
// calls once before every read.
#include <gtest/gtest.h>

#include "http/http_access.h"
#include "http/http_access_test_support.h"
#include "http/pending_events_counter.h"
#include "testsupport/loopback_server.h"

namespace {

TEST(HttpReadPiecesTest, ReadsAtMost512BytesAtATimeAndEndsWithAnEmptyRead) {
  struct Case {
    size_t size;
    int fewestReads;  // pieces of 512 bytes, and the empty read that ends the loop
  };
  for (const Case c : {Case{1300, 4}, Case{1024, 3}, Case{1, 2}, Case{0, 1}}) {
    SCOPED_TRACE(c.size);
    const std::string body = http_test::NumberedBytes(c.size);
    loopback::Server server(loopback::Reply::WithBody(body));
    ResetPendingEventsCalls();
    EXPECT_EQ(HttpAccess(Text(server.Url("/big"))).str(), body);
    EXPECT_GE(PendingEventsCalls(), c.fewestReads);
  }
}

}  // namespace
