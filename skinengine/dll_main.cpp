// SkinH_EL.dll's entry points.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "skinengine/attach_report.h"
#include "skinengine/engine.h"
#include "skinengine/skin_format.h"

namespace {

SkinAttachReport LastAttach = {};

size_t BoundedLength(const char* text, size_t limit) {
  size_t n = 0;
  while (n < limit && text[n]) ++n;
  return n;
}

void Record(const uint8_t* bytes, int32_t count, const std::vector<uint8_t>& copy, const char* text,
            const int32_t (&numbers)[3], const std::optional<skin::SkinStyle>& style) {
  SkinAttachReport& r = LastAttach;
  const uint32_t calls = r.attachCalls + 1;
  r = {};
  r.attachCalls = calls;
  r.addressWasNull = bytes == nullptr;
  r.address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bytes));
  r.count = count;
  r.bytesHash = copy.empty() ? 0 : ReportHash(copy.data(), copy.size());
  std::memcpy(r.firstBytes, copy.data(), std::min(copy.size(), sizeof r.firstBytes));
  r.textWasNull = text == nullptr;
  if (text) {
    r.textLength = static_cast<uint32_t>(BoundedLength(text, sizeof r.text - 1));
    std::memcpy(r.text, text, r.textLength);
  }
  std::copy(std::begin(numbers), std::end(numbers), r.numbers);
  r.skinApplied = style.has_value();
  if (style) std::memcpy(r.skinName, style->name.data(), std::min(style->name.size(), sizeof r.skinName - 1));
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    engine::Module = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && !reserved) {
    // Unloaded while the process goes on: no hook or subclass may point into the unloaded code.
    engine::Release();
  }
  return TRUE;
}

// Reads the skin from `bytes` (copied during the call; the address is not kept) and puts it in force
// for the calling thread's windows. A skin that cannot be read, or none, gives them their normal look.
// The text and the three numbers are accepted and not used. Gives 1 when the skin was applied, else 0.
extern "C" int32_t __stdcall SkinH_AttachRes(const uint8_t* bytes, int32_t count, const char* text, int32_t a4,
                                             int32_t a5, int32_t a6) {
  try {
    std::vector<uint8_t> copy;
    if (bytes && count > 0 && static_cast<size_t>(count) <= skin::kMaxSkinSize) copy.assign(bytes, bytes + count);
    std::optional<skin::SkinStyle> style = skin::ParseSkin(copy.data(), copy.size());
    Record(bytes, count, copy, text, {a4, a5, a6}, style);
    const bool applied = style.has_value();
    engine::Apply(std::move(style));
    return applied ? 1 : 0;
  } catch (...) {
    // Nothing may cross into the caller; the windows keep whatever look they had.
    return 0;
  }
}

extern "C" int32_t __stdcall SkinH_ReportAttach(SkinAttachReport* report) {
  if (!report) return 0;
  *report = LastAttach;
  return static_cast<int32_t>(sizeof(SkinAttachReport));
}
