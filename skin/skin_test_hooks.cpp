#include "skin/skin_test_hooks.h"

#ifdef QUORVANE_TEST_HOOKS
#include <windows.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/test_trace.h"
#include "skin/external_functions.h"
#include "skin/skin.h"
#include "skinengine/attach_report.h"
#include "text/byte_set.h"

namespace {

// The file that receives one line per attach.
constexpr char kSkinTrace[] = "QUORVANE_SKIN_TRACE";

// Whether `address` lies in a block of the C runtime's heap (or the process heap) that is in use.
bool HeapBlockInUse(uintptr_t address) {
  const HANDLE heaps[] = {reinterpret_cast<HANDLE>(_get_heap_handle()), GetProcessHeap()};
  for (HANDLE heap : heaps) {
    if (!heap || !HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry = {};
    bool found = false, busy = false;
    while (!found && HeapWalk(heap, &entry)) {
      const auto start = reinterpret_cast<uintptr_t>(entry.lpData);
      if (address >= start && address < start + entry.cbData) {
        found = true;
        busy = entry.wFlags & PROCESS_HEAP_ENTRY_BUSY;
      }
    }
    HeapUnlock(heap);
    if (found) return busy;
  }
  return false;
}

std::string Hex(const uint8_t* bytes, size_t n) {
  std::string out;
  char two[3];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(two, sizeof two, "%02X", bytes[i]);
    out += two;
  }
  return out;
}

}  // namespace

void TestCutEngineWrite(void* file, const uint8_t* bytes, uint32_t done, uint32_t piece) {
  char value[32];
  const DWORD n = GetEnvironmentVariableA("QUORVANE_TEST_ENGINE_WRITE_LIMIT", value, sizeof value);
  if (n == 0 || n >= sizeof value) return;
  const uint32_t limit = static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
  if (done + piece <= limit) return;
  DWORD written = 0;
  if (limit > done) WriteFile(static_cast<HANDLE>(file), bytes + done, limit - done, &written, nullptr);
  TerminateProcess(GetCurrentProcess(), 3);
}

void TraceSkinAttach(uint32_t handedOver) {
  // Asked first, before anything else allocates and could be handed the freed block again.
  const bool released = handedOver == 0 || !HeapBlockInUse(handedOver - ByteSet::kHeaderSize);
  const HMODULE engine = ExternalRowOf(kSkinHAttachRes).module;
  const auto report = reinterpret_cast<SkinReportAttachFunction>(
      reinterpret_cast<void*>(GetProcAddress(engine, "SkinH_ReportAttach")));
  if (!report) {
    TestTraceTo(kSkinTrace, "skin attach unreported");
    return;
  }
  SkinAttachReport r = {};
  report(&r);
  char line[512];
  std::snprintf(line, sizeof line,
                "skin attach calls=%u null=%u same_address=%u count=%d hash=%08X first=%s text_null=%u "
                "text_length=%u numbers=%d,%d,%d applied=%u name=%s released=%u",
                r.attachCalls, r.addressWasNull, r.address == handedOver, r.count, r.bytesHash,
                Hex(r.firstBytes, r.count > 0 ? std::min<size_t>(8, static_cast<size_t>(r.count)) : 0).c_str(),
                r.textWasNull, r.textLength, r.numbers[0], r.numbers[1], r.numbers[2], r.skinApplied, r.skinName,
                released);
  TestTraceTo(kSkinTrace, line);
}

bool HandleApplySkinRequest(const void* payload, uint32_t size) {
  if (size < sizeof(int32_t)) return false;
  int32_t number = 0;
  std::memcpy(&number, payload, sizeof number);
  ApplySkin(number);
  return true;
}
#else
void TestCutEngineWrite(void*, const uint8_t*, uint32_t, uint32_t) {}
void TraceSkinAttach(uint32_t) {}
bool HandleApplySkinRequest(const void*, uint32_t) { return false; }
#endif
