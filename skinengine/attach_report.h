// What the engine saw in its last SkinH_AttachRes call. Builds with test hooks export
// SkinH_ReportAttach, which fills this in, so tests can observe what the program handed over.
#pragma once

#include <cstddef>
#include <cstdint>

struct SkinAttachReport {
  uint32_t attachCalls;     // SkinH_AttachRes calls so far
  uint32_t addressWasNull;  // argument 1 was the null address
  uint32_t address;         // argument 1 as a number
  int32_t count;            // argument 2
  uint32_t bytesHash;       // ReportHash of the `count` bytes at argument 1 (0 when none were read)
  uint8_t firstBytes[8];    // the first of them
  uint32_t textWasNull;     // argument 3 was the null address
  uint32_t textLength;      // bytes of the zero-terminated text at argument 3 (at most 255 read)
  char text[256];           // those bytes, zero-terminated
  int32_t numbers[3];       // arguments 4 to 6
  uint32_t skinApplied;     // the bytes were a readable skin, now in force
  char skinName[64];        // its name, zero-terminated
};

// FNV-1a: unlike a CRC it tells skins apart, whose last four bytes are a CRC of the rest.
inline uint32_t ReportHash(const uint8_t* bytes, size_t count) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < count; ++i) h = (h ^ bytes[i]) * 16777619u;
  return h;
}

// int32_t __stdcall SkinH_ReportAttach(SkinAttachReport* report): fills in the report and gives its
// size, or 0 when `report` is null.
using SkinReportAttachFunction = int32_t(__stdcall*)(SkinAttachReport*);
