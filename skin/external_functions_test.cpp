#include "skin/external_functions.h"

#include <gtest/gtest.h>

namespace {

extern "C" int32_t __stdcall Six(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f) {
  return a + 10 * b + 100 * c + 1000 * d + 10000 * e + 100000 * f;
}
extern "C" int32_t __cdecl SixInTheCConvention(int32_t a, int32_t, int32_t, int32_t, int32_t, int32_t) { return a; }
extern "C" int32_t __stdcall Seven(int32_t a, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) { return a; }
extern "C" int32_t __stdcall Five(int32_t a, int32_t, int32_t, int32_t, int32_t) { return a; }
extern "C" int32_t __stdcall None() { return 42; }

TEST(ExternalCall, ArgumentsArriveInOrderAndTheStackIsMeasured) {
  struct Case {
    const char* what;
    const void* function;
    int32_t imbalance;
    uint32_t result;
  };
  const Case cases[] = {
      {"stdcall, six arguments", reinterpret_cast<const void*>(Six), 0, 654321},
      {"cdecl: removes nothing", reinterpret_cast<const void*>(SixInTheCConvention), -24, 1},
      {"removes one argument too many", reinterpret_cast<const void*>(Seven), 4, 1},
      {"removes one argument too few", reinterpret_cast<const void*>(Five), -4, 1},
  };
  const uint32_t arguments[] = {1, 2, 3, 4, 5, 6};
  for (const Case& c : cases) {
    int32_t imbalance = 99;
    EXPECT_EQ(QuorvaneCallStdcall(c.function, arguments, 6, &imbalance), c.result) << c.what;
    EXPECT_EQ(imbalance, c.imbalance) << c.what;
  }
  int32_t imbalance = 99;
  EXPECT_EQ(QuorvaneCallStdcall(reinterpret_cast<const void*>(None), nullptr, 0, &imbalance), 42u);
  EXPECT_EQ(imbalance, 0);
}

TEST(ExternalCall, CallsThroughARowAndKeepsItBound) {
  ExternalFunction row = {"kernel32.dll", "GetCurrentProcessId"};
  EXPECT_EQ(CallExternal(row, {}), GetCurrentProcessId());
  const FARPROC bound = row.address;
  ASSERT_TRUE(bound);
  EXPECT_EQ(CallExternal(row, {}), GetCurrentProcessId());
  EXPECT_EQ(row.address, bound);
  UnloadExternal(row);
  EXPECT_EQ(row.address, nullptr);
  EXPECT_EQ(row.module, nullptr);
}

TEST(ExternalBinding, RowsWithoutALibraryKeepTheFirstSystemLibraryThatHasTheFunction) {
  struct Case {
    const char* function;
    const char* library;
  };
  const Case cases[] = {
      {"MultiByteToWideChar", "kernel32.dll"},
      {"GetStockObject", "gdi32.dll"},
      {"MessageBeep", "user32.dll"},
      {"LookupPrivilegeValueA", "advapi32.dll"},
      {"WNetGetConnectionA", "mpr.dll"},
      {"ShellExecuteA", "shell32.dll"},
  };
  for (const Case& c : cases) {
    ExternalFunction row = {nullptr, c.function};
    const FARPROC address = BindExternal(row);
    const HMODULE expected = GetModuleHandleA(c.library);
    ASSERT_TRUE(expected) << c.library;
    EXPECT_EQ(row.module, expected) << c.function;
    EXPECT_EQ(address, GetProcAddress(expected, c.function)) << c.function;
    UnloadExternal(row);
  }
}

TEST(ExternalBinding, TheTableBindsAtFirstUseAndUnloadsEveryRow) {
  ExternalFunction& row = ExternalRowOf(kWideCharToMultiByte);
  EXPECT_STREQ(row.library, "kernel32.dll");
  EXPECT_EQ(row.address, nullptr);
  EXPECT_EQ(BindExternal(row), GetProcAddress(GetModuleHandleA("kernel32.dll"), "WideCharToMultiByte"));
  ExternalFunction& other = ExternalRowOf(kInternetOpenA);
  EXPECT_TRUE(BindExternal(other));
  EXPECT_EQ(other.module, GetModuleHandleA("wininet.dll"));
  UnloadExternalLibraries();
  for (int r = 0; r < kExternalRowCount; ++r) {
    EXPECT_EQ(ExternalRowOf(static_cast<ExternalRow>(r)).address, nullptr) << r;
    EXPECT_EQ(ExternalRowOf(static_cast<ExternalRow>(r)).module, nullptr) << r;
  }
  EXPECT_STREQ(ExternalRowOf(kSkinHAttachRes).library, "SkinH_EL.dll");
  EXPECT_STREQ(ExternalRowOf(kSkinHAttachRes).name, "SkinH_AttachRes");
  EXPECT_EQ(ExternalRowOf(kMultiByteToWideChar).library, nullptr);
}

}  // namespace
