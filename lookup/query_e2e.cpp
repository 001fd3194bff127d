// The keyword query and the help page, through the real quorvane.exe against loopback servers.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "e2e/driver.h"
#include "testsupport/loopback_server.h"

using namespace e2e;

namespace {

constexpr int kEditBox1 = 1001, kQueryButton1 = 1002, kHelpButton2 = 1003, kWebView1 = 1005;

std::string Page(int blocks, const std::string& fourth = "<p>第四块</p>") {
  std::string page = "<html><body>";
  for (int i = 1; i <= blocks; ++i)
    page += "<div id=\"main\">" + (i == 4 ? fourth : "<p>块" + std::to_string(i) + "</p>") + "</div>\n";
  return page + "</body></html>";
}

struct QueryFixture {
  loopback::Server server;
  Program program;
  explicit QueryFixture(loopback::Reply reply)
      : server(std::move(reply)),
        program(LaunchOptions{L"", {L"QUORVANE_TEST_SERVICE_BASE=" + Utf16FromCp936(server.Url("/word/"))}}) {}

  HWND view() const { return program.control(kWebView1); }
  void Query(const std::wstring& keyword) {
    Bring(program.mainWindow());
    ClickWindow(program.control(kEditBox1));
    if (!keyword.empty()) TypeText(keyword);
    ClickWindow(program.control(kQueryButton1));
  }
  bool WaitForViewText(const std::wstring& text, DWORD timeoutMs = 5000) {
    return WaitUntil([&] { return WindowText(view()) == text; }, timeoutMs);
  }
};

}  // namespace

TEST(QueryTest, KeywordRequestOnTheWireAndTheFourthBlockShown) {
  struct Case {
    std::wstring keyword;
    std::string pathKeyword;  // as the bytes arrive
  } cases[] = {{L"abc", "abc"}, {L"手机", "\xCA\xD6\xBB\xFA"}, {L" ", "%20"}};
  for (const Case& c : cases) {
    QueryFixture f(loopback::Reply::WithBody(Page(5, "<table><tr><th>词</th><td>42</td></tr></table>")));
    f.Query(c.keyword);
    ASSERT_TRUE(f.server.WaitForRequests(1, 5000));
    const loopback::Request request = f.server.Requests()[0];
    EXPECT_EQ(request.requestLine, "POST /word/" + c.pathKeyword + ".html HTTP/1.1");
    EXPECT_EQ(*request.Header("User-Agent"), "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(*request.Header("Accept-Language"), "Accept-Language: zh-cn");
    EXPECT_EQ(request.Header("Content-Type"), nullptr);
    EXPECT_TRUE(f.WaitForViewText(L"词\t42")) << WindowText(f.view());
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(f.program.control(kQueryButton1)) != FALSE; }));
  }
}

TEST(QueryTest, PagesWithoutAFourthBlockGiveAnEmptyPage) {
  struct Case {
    std::string page;
    std::wstring shown;
  } cases[] = {
      {Page(3), L""},
      {Page(4, "<div>nested</div>tail"), L"nested"},  // the match ends at the nested div's end
      {"<DIV ID=\"MAIN\">1</div><div id=\"main\">2</div><div id=\"main\">3</div><Div Id=\"Main\">\n四\n</div>", L"四"},
  };
  for (const Case& c : cases) {
    QueryFixture f(loopback::Reply::WithBody(c.page));
    f.Query(L"x");
    ASSERT_TRUE(f.server.WaitForRequests(1, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(f.program.control(kQueryButton1)) != FALSE; }));
    Sleep(200);
    EXPECT_EQ(WindowText(f.view()), c.shown);
  }
}

TEST(QueryTest, FailedRequestsLeaveAnEmptyPageAndTheButtonEnabled) {
  QueryFixture f(loopback::Reply::WithBody(Page(5, "<p>first</p>")));
  f.Query(L"a");
  ASSERT_TRUE(f.WaitForViewText(L"first"));
  // An error page, then a hang-up: empty page each time, and a new query works at once.
  f.server.SetReply(loopback::Reply::WithBody("<html>500</html>", 500, "Internal Server Error"));
  ClickWindow(f.program.control(kQueryButton1));
  EXPECT_TRUE(f.WaitForViewText(L""));
  f.server.SetReply(loopback::Reply::HangUp());
  ClickWindow(f.program.control(kQueryButton1));
  ASSERT_TRUE(f.server.WaitForRequests(3, 5000));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(f.program.control(kQueryButton1)) != FALSE; }));
  EXPECT_TRUE(f.WaitForViewText(L""));
  f.server.SetReply(loopback::Reply::WithBody(Page(5, "<p>again</p>")));
  ClickWindow(f.program.control(kQueryButton1));
  EXPECT_TRUE(f.WaitForViewText(L"again"));
}

TEST(QueryTest, RefusedConnectionGivesAnEmptyPage) {
  const std::string base = "http://127.0.0.1:" + std::to_string(loopback::Server::PortWithNoListener()) + "/word/";
  Program program(LaunchOptions{L"", {L"QUORVANE_TEST_SERVICE_BASE=" + Utf16FromCp936(base)}});
  Bring(program.mainWindow());
  ClickWindow(program.control(kEditBox1));
  TypeText(L"x");
  ClickWindow(program.control(kQueryButton1));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(program.control(kQueryButton1)) != FALSE; }, 20000));
  EXPECT_EQ(WindowText(program.control(kWebView1)), L"");
  EXPECT_TRUE(program.running());
}

TEST(QueryTest, EmptyKeywordShowsTheMessageBoxAndSendsNothing) {
  QueryFixture f(loopback::Reply::WithBody(Page(5)));
  f.Query(L"");
  const HWND box = f.program.waitForOtherWindow();
  ASSERT_TRUE(box);
  EXPECT_EQ(WindowText(box), L"Varnholt  提示");
  EXPECT_EQ(MessageBoxText(box), L"请先输入任意关键词后再点击查询按钮！");
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
  EXPECT_TRUE(IsWindowEnabled(f.program.control(kQueryButton1)));
  // Task-modal: the main window takes no input meanwhile.
  EXPECT_FALSE(IsWindowEnabled(f.program.mainWindow()));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(f.program.mainWindow()) != FALSE; }));
  EXPECT_EQ(f.server.RequestCount(), 0u);
}

TEST(QueryTest, ButtonDisabledWhileASlowResponseArrivesAndHelpStillWorks) {
  // Events run between reads of 512 bytes: the page comes in three parts with pauses between them.
  const std::string padding = "<!--" + std::string(1017, '.') + "-->";
  loopback::Reply reply = loopback::Reply::ChunkedPieces(
      {{padding, 0, nullptr}, {padding, 1500, nullptr}, {Page(5, "<p>slow block</p>"), 1500, nullptr}});
  QueryFixture f(std::move(reply));
  f.Query(L"s");
  ASSERT_TRUE(f.server.WaitForRequests(1, 5000));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(f.program.control(kQueryButton1)); }, 1000));
  // Help clicked during the query: the page loads, then the block is written over it.
  ClickWindow(f.program.control(kHelpButton2));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(f.view()).find(L"使用帮助") != std::wstring::npos; }, 3000));
  EXPECT_FALSE(IsWindowEnabled(f.program.control(kQueryButton1)));
  EXPECT_TRUE(f.WaitForViewText(L"slow block", 8000));
  EXPECT_TRUE(IsWindowEnabled(f.program.control(kQueryButton1)));
}

TEST(QueryTest, HelpPageShowsAndAQueryReplacesIt) {
  QueryFixture f(loopback::Reply::WithBody(Page(5, "<p>block</p>")));
  Bring(f.program.mainWindow());
  ClickWindow(f.program.control(kHelpButton2));
  ASSERT_TRUE(WaitUntil([&] { return WindowText(f.view()).find(L"Quorvane 使用帮助") == 0; }));
  EXPECT_NE(WindowText(f.view()).find(L"Esc"), std::wstring::npos);
  f.Query(L"k");
  EXPECT_TRUE(f.WaitForViewText(L"block"));
}

TEST(QueryTest, ClosingTheWindowDuringASlowQueryEndsNormally) {
  TempFolder folder;
  const std::wstring trace = folder.file(L"trace.txt");
  std::string page = Page(5);
  loopback::Server server(loopback::Reply::ChunkedPieces({{page.substr(0, 20), 0, nullptr}, {page.substr(20), 1500, nullptr}}));
  Program program(LaunchOptions{folder.path(), {L"QUORVANE_TEST_SERVICE_BASE=" + Utf16FromCp936(server.Url("/word/")),
                                                L"QUORVANE_TRACE=" + trace}});
  Bring(program.mainWindow());
  ClickWindow(program.control(kEditBox1));
  TypeText(L"c");
  ClickWindow(program.control(kQueryButton1));
  ASSERT_TRUE(server.WaitForRequests(1, 5000));
  PostMessageW(program.mainWindow(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.waitForExit(10000));
  EXPECT_EQ(program.exitCode(), 0u);
  const std::string events = ReadFileBytes(trace);
  EXPECT_EQ(events.find("ReleaseGlobals"), events.rfind("ReleaseGlobals")) << events;  // once
  EXPECT_NE(events.find("OleUninitialize"), std::string::npos) << events;
}

TEST(ViewTest, SelectAllAndCopyPutTheTextOnTheClipboard) {
  QueryFixture f(loopback::Reply::WithBody(Page(5, "<table><tr><td>复制</td><td>me</td></tr></table>")));
  f.Query(L"c");
  ASSERT_TRUE(f.WaitForViewText(L"复制\tme"));
  ClickWindow(f.view());
  PressKey('A', false, false, /*ctrl=*/true);
  PressKey('C', false, false, true);
  std::wstring copied;
  WaitUntil([&] {
    if (!OpenClipboard(nullptr)) return false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
        copied = text;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
    return copied == L"复制\tme";
  });
  EXPECT_EQ(copied, L"复制\tme");
}
