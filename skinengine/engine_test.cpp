// SkinH_EL.dll loaded into a test process of its own, skinning windows that the test makes: what it
// draws with a readable skin, and that anything else leaves the normal look.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/skin_table.h"
#include "skinengine/attach_report.h"
#include "skinengine/skin_format.h"
#include "text/byte_set.h"
#include "win32/scoped.h"

namespace {

using AttachFunction = int32_t(__stdcall*)(const void*, int32_t, const char*, int32_t, int32_t, int32_t);

std::wstring EnginePath() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L'\\')) + L"\\SkinH_EL.dll";
}

std::vector<uint8_t> CarriedSkin(int number) {
  const uint8_t* block = kSkinBlocks[number - 1];
  const uint8_t* data = block + ByteSet::kHeaderSize;
  return std::vector<uint8_t>(data, data + BlockByteCount(block));
}

void Pump(DWORD ms = 150) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  } while (GetTickCount() - start < ms);
}

const wchar_t kClassName[] = L"SkinEngineTestWindow";

HWND MakeWindow(int x) {
  static const bool registered = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
  }();
  EXPECT_TRUE(registered);
  HWND w = CreateWindowExW(0, kClassName, L"Engine test", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, 40, 300,
                           200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 30, w,
                  reinterpret_cast<HMENU>(1), nullptr, nullptr);
  CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 50, 150, 26, w,
                  reinterpret_cast<HMENU>(2), nullptr, nullptr);
  ShowWindow(w, SW_SHOWNOACTIVATE);
  UpdateWindow(w);
  Pump();
  return w;
}

// The window's pixels as they are on the screen.
std::vector<uint32_t> Capture(HWND w) {
  RECT rc;
  GetWindowRect(w, &rc);
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  ScopedWindowDC screen(nullptr);
  ScopedMemoryDC memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  ScopedGdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    ScopedSelectObject select(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), rc.left, rc.top, SRCCOPY);
  }
  const auto* first = static_cast<const uint32_t*>(bits);
  return std::vector<uint32_t>(first, first + width * height);
}

BOOL CALLBACK CountShown(HWND hwnd, LPARAM count) {
  if (IsWindowVisible(hwnd)) ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountShown, reinterpret_cast<LPARAM>(&count));
  return count;
}

class SkinEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    engine_.reset(LoadLibraryW(EnginePath().c_str()));
    ASSERT_TRUE(engine_) << "SkinH_EL.dll next to the test";
    attach_ = reinterpret_cast<AttachFunction>(reinterpret_cast<void*>(GetProcAddress(engine_.get(), "SkinH_AttachRes")));
    report_ = reinterpret_cast<SkinReportAttachFunction>(
        reinterpret_cast<void*>(GetProcAddress(engine_.get(), "SkinH_ReportAttach")));
    ASSERT_TRUE(attach_);
    ASSERT_TRUE(report_);
  }
  void TearDown() override {
    for (HWND w : windows_) DestroyWindow(w);
    engine_.reset();
  }

  HWND Window() {
    windows_.push_back(MakeWindow(40 + 320 * static_cast<int>(windows_.size() % 2)));
    return windows_.back();
  }
  int32_t Attach(const void* bytes, int32_t count) {
    const int32_t result = attach_(bytes, count, "", 0, 0, 0);
    Pump();
    return result;
  }
  SkinAttachReport Report() {
    SkinAttachReport r = {};
    report_(&r);
    return r;
  }

  ScopedModule engine_;
  AttachFunction attach_ = nullptr;
  SkinReportAttachFunction report_ = nullptr;
  std::vector<HWND> windows_;
};

RECT ClientOf(HWND w) {
  RECT rc;
  GetClientRect(w, &rc);
  return rc;
}

TEST_F(SkinEngine, SkinsTheThreadsWindowsFromItsOwnCopyOfTheBytes) {
  const HWND w = Window();
  std::vector<uint8_t> bytes = CarriedSkin(1);
  const auto style = *skin::ParseSkin(bytes.data(), bytes.size());
  EXPECT_EQ(Attach(bytes.data(), static_cast<int32_t>(bytes.size())), 1);
  const SkinAttachReport r = Report();
  EXPECT_TRUE(r.skinApplied);
  EXPECT_STREQ(r.skinName, style.name.c_str());

  const int border = style.metric(skin::Metric::BorderWidth);
  const RECT client = ClientOf(w);
  EXPECT_EQ(client.right, 300 - 2 * border);
  EXPECT_EQ(client.bottom, 200 - 2 * border - style.metric(skin::Metric::CaptionHeight));
  const std::vector<uint32_t> skinned = Capture(w);

  // The engine keeps nothing of the caller's bytes: wiping them changes nothing it draws.
  std::memset(bytes.data(), 0xCC, bytes.size());
  bytes.clear();
  bytes.shrink_to_fit();
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  EXPECT_TRUE(Capture(w) == skinned);

  // Windows made afterwards are skinned as they are created.
  const HWND later = Window();
  EXPECT_EQ(ClientOf(later).right, 300 - 2 * border);
  const HWND button = GetDlgItem(later, 1);
  RECT b;
  GetWindowRect(button, &b);
  ScopedWindowDC screen(nullptr);
  const skin::Rgb edge = style.colour(skin::Colour::ButtonBorder);
  EXPECT_EQ(GetPixel(screen.get(), (b.left + b.right) / 2, b.top), RGB(edge.red, edge.green, edge.blue));
}

TEST_F(SkinEngine, SkinsItCannotReadLeaveTheNormalLookAndShowNothing) {
  const std::vector<uint8_t> good = CarriedSkin(1);
  std::vector<uint8_t> wrongMagic = good;
  wrongMagic[1] = 'X';
  const std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
  std::vector<uint8_t> garbage(good.size());
  uint32_t seed = 12345;
  for (uint8_t& b : garbage) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  std::vector<uint8_t> flipped = good;
  flipped[40] ^= 0x01;
  struct Case {
    const char* what;
    const void* bytes;
    int32_t count;
  };
  const Case cases[] = {
      {"wrong magic", wrongMagic.data(), static_cast<int32_t>(wrongMagic.size())},
      {"truncated", truncated.data(), static_cast<int32_t>(truncated.size())},
      {"garbage", garbage.data(), static_cast<int32_t>(garbage.size())},
      {"one bit flipped", flipped.data(), static_cast<int32_t>(flipped.size())},
      {"null address, count 0", nullptr, 0},
      {"null address with a count", nullptr, 100},
      {"negative count", good.data(), -5},
  };
  const HWND w = Window();
  const std::vector<uint32_t> normal = Capture(w);
  const RECT normalClient = ClientOf(w);
  const int shown = ThreadWindowCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Attach(c.bytes, c.count), 0);
    EXPECT_FALSE(Report().skinApplied);
    EXPECT_TRUE(Capture(w) == normal);
    // After a readable skin, an unreadable one gives the normal look back.
    ASSERT_EQ(Attach(good.data(), static_cast<int32_t>(good.size())), 1);
    EXPECT_FALSE(Capture(w) == normal);
    EXPECT_EQ(Attach(c.bytes, c.count), 0);
    EXPECT_TRUE(Capture(w) == normal);
    const RECT client = ClientOf(w);
    EXPECT_TRUE(EqualRect(&client, &normalClient));
    EXPECT_EQ(ThreadWindowCount(), shown);
  }
}

TEST_F(SkinEngine, UnloadingTheEngineHandsTheWindowsBack) {
  const HWND w = Window();
  const std::vector<uint32_t> normal = Capture(w);
  const std::vector<uint8_t> good = CarriedSkin(5);
  ASSERT_EQ(Attach(good.data(), static_cast<int32_t>(good.size())), 1);
  engine_.reset();
  // No subclass or hook may lead into the unloaded code: the window goes on working.
  SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  EXPECT_TRUE(Capture(w) == normal);
  const HWND later = Window();
  EXPECT_TRUE(IsWindow(later));
}

}  // namespace
