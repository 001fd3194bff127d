// The window keeps handling its events while HttpAccess reads a response, through the shell's
// ProcessPendingEvents.
#include <gtest/gtest.h>

#include <windows.h>

#include "http/http_access.h"
#include "http/http_access_test_support.h"
#include "testsupport/loopback_server.h"
#include "win32/scoped.h"

namespace {

constexpr UINT kNote = WM_APP + 1;      // handled: sets the event
constexpr UINT kCloseNow = WM_APP + 2;  // handled: raises the quit request (code 3), sets the event
constexpr wchar_t kClassName[] = L"QuorvaneHttpEventsTest";

HANDLE handledEvent = nullptr;

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kNote || message == kCloseNow) {
    if (message == kCloseNow) PostQuitMessage(3);
    SetEvent(handledEvent);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class HttpEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly when an earlier test registered it
    window_.reset(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window_);
    handled_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    handledEvent = handled_.get();
  }
  void TearDown() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    handledEvent = nullptr;
  }

  // A slow response in three parts of 512-byte multiples. Before the second part the server posts
  // `message` to the window; before the third it waits (bounded) until the window has handled it,
  // which it can only do between two reads of this very response.
  loopback::Reply SlowReplyPosting(UINT message) {
    const HWND window = window_.get();
    loopback::Reply reply;
    reply.pieces = {
        {body_.substr(0, 1024)},
        {body_.substr(1024, 512), 100, [window, message] { PostMessageW(window, message, 0, 0); }},
        {body_.substr(1536), 0, [this] { handledInTime_ = WaitForSingleObject(handledEvent, 10000) == WAIT_OBJECT_0; }},
    };
    return reply;
  }

  ScopedWindow window_;
  ScopedKernelHandle handled_;
  const std::string body_ = http_test::NumberedBytes(2048);
  bool handledInTime_ = false;  // written on the server thread before the last part is sent
};

TEST_F(HttpEventsTest, MessagePostedDuringSlowResponseIsHandledBetweenReads) {
  loopback::Server server(SlowReplyPosting(kNote));
  EXPECT_EQ(HttpAccess(Text(server.Url("/slow"))).str(), body_);
  EXPECT_TRUE(handledInTime_);
}

TEST_F(HttpEventsTest, QuitRequestRaisedDuringTheReadStaysQueued) {
  loopback::Server server(SlowReplyPosting(kCloseNow));
  EXPECT_EQ(HttpAccess(Text(server.Url("/slow"))).str(), body_);
  EXPECT_TRUE(handledInTime_);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
