#include "skin/skin.h"

#include <windows.h>

#include <algorithm>

#include "app/shell.h"
#include "skin/external_functions.h"
#include "skin/skin_table.h"
#include "skin/skin_test_hooks.h"
#include "text/byte_set.h"
#include "text/text.h"
#include "win32/scoped.h"

namespace {

Text EnginePath() { return JoinTexts(ProgramDirectory(), "\\SkinH_EL.dll"); }

// A directory search for the path: any entry counts, a directory too.
bool EntryExists(const Text& path) {
  WIN32_FIND_DATAA found;
  const ScopedFind search(FindFirstFileA(path.c_str(), &found));
  return search.valid();
}

bool WriteWhole(HANDLE file, const uint8_t* bytes, uint32_t count) {
  uint32_t done = 0;
  while (done < count) {
    const DWORD piece = std::min<uint32_t>(count - done, 1 << 16);
    TestCutEngineWrite(file, bytes, done, piece);
    DWORD written = 0;
    if (!WriteFile(file, bytes + done, piece, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// The image goes to a file of its own first and takes the engine's name only once it is whole, so a
// write that stops part way never leaves a broken engine that later runs would find and keep.
// MoveFile never replaces: an engine that appeared meanwhile stays as it is.
void WriteEngine(const Text& path) {
  const Text partial = JoinTexts(path, ".part");
  bool whole = false;
  {
    const ScopedFile file(CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    whole = WriteWhole(file.get(), kSkinEngineImage + ByteSet::kHeaderSize,
                       static_cast<uint32_t>(BlockByteCount(kSkinEngineImage)));
  }
  if (!whole || !MoveFileA(partial.c_str(), path.c_str())) DeleteFileA(partial.c_str());
}

uint32_t Address(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

}  // namespace

void OnMainWindowCreated() { ApplySkin(1); }

void EnsureSkinEngine() {
  if (EntryExists(EnginePath())) return;
  WriteEngine(EnginePath());
  // Hidden only: this replaces every other attribute, the archive attribute too.
  SetFileAttributesA(EnginePath().c_str(), FILE_ATTRIBUTE_HIDDEN);
}

void ApplySkin(int32_t number) {
  EnsureSkinEngine();
  uint32_t handedOver = 0;
  {
    const ByteSet copy = number >= 1 && number <= kSkinCount ? ByteSet::FromBlock(kSkinBlocks[number - 1]) : ByteSet();
    const int32_t count = ByteSetLength(copy);
    handedOver = Address(copy.data());
    CallExternal(ExternalRowOf(kSkinHAttachRes),
                 {handedOver, static_cast<uint32_t>(count), Address(""), 0, 0, 0});
  }  // the copy is released as soon as the engine has returned
  TraceSkinAttach(handedOver);
}
