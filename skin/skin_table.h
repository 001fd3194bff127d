// The carried constants: the 87 skins and the skin engine's library image, each a block in the
// ByteSet layout (word 1, byte count, bytes). Generated at build time (make_skins.py, byte_block.py).
#pragma once

#include <cstdint>

inline constexpr int32_t kSkinCount = 87;
// Skin n (1..87) is kSkinBlocks[n - 1]; every skin begins with ".SHE".
extern const uint8_t* const kSkinBlocks[kSkinCount];
// SkinH_EL.dll as built from skinengine/.
extern const uint8_t kSkinEngineImage[];
