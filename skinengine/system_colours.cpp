#include "skinengine/system_colours.h"

#include <windows.h>

#include "skinengine/engine.h"

namespace {

using GetSysColorFunction = DWORD(WINAPI*)(int);
using GetSysColorBrushFunction = HBRUSH(WINAPI*)(int);

GetSysColorFunction SystemGetSysColor = nullptr;
GetSysColorBrushFunction SystemGetSysColorBrush = nullptr;
bool Hooked = false;

DWORD WINAPI SkinnedGetSysColor(int index) {
  if (index == COLOR_BTNFACE) return engine::SkinColour(skin::Colour::WindowBackground);
  return SystemGetSysColor(index);
}

HBRUSH WINAPI SkinnedGetSysColorBrush(int index) {
  if (index == COLOR_BTNFACE) return engine::BackgroundBrush();
  return SystemGetSysColorBrush(index);
}

// Points every entry of the program's user32 imports that holds `from` at `to`.
void RepointImport(const void* from, const void* to) {
  auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE) return;
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!imports.VirtualAddress) return;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
       ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), "user32.dll") != 0) continue;
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk); slot->u1.Function; ++slot) {
      if (reinterpret_cast<const void*>(slot->u1.Function) != from) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection)) continue;
      slot->u1.Function = reinterpret_cast<decltype(slot->u1.Function)>(to);
      VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
    }
  }
}

}  // namespace

void HookSystemColours() {
  if (Hooked) return;
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  SystemGetSysColor = reinterpret_cast<GetSysColorFunction>(reinterpret_cast<void*>(GetProcAddress(user32, "GetSysColor")));
  SystemGetSysColorBrush = reinterpret_cast<GetSysColorBrushFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetSysColorBrush")));
  if (!SystemGetSysColor || !SystemGetSysColorBrush) return;
  RepointImport(reinterpret_cast<const void*>(SystemGetSysColor), reinterpret_cast<const void*>(SkinnedGetSysColor));
  RepointImport(reinterpret_cast<const void*>(SystemGetSysColorBrush),
                reinterpret_cast<const void*>(SkinnedGetSysColorBrush));
  Hooked = true;
}

void UnhookSystemColours() {
  if (!Hooked) return;
  RepointImport(reinterpret_cast<const void*>(SkinnedGetSysColor), reinterpret_cast<const void*>(SystemGetSysColor));
  RepointImport(reinterpret_cast<const void*>(SkinnedGetSysColorBrush),
                reinterpret_cast<const void*>(SystemGetSysColorBrush));
  Hooked = false;
}
