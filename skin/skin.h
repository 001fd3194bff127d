// Skinning: the skin engine SkinH_EL.dll, written next to the program when it is missing, and the
// carried skins handed to it.
#pragma once

#include <cstdint>

// The main window's created event: attaches skin 1 before the window is first shown.
void OnMainWindowCreated();

// Makes sure the engine exists, then hands it a copy of skin `number` (1..87), released right after
// the call. Any other number hands over the null address and the count 0.
void ApplySkin(int32_t number);

// Writes the carried engine into the program directory when no entry of its name is there. An entry
// that exists (a file of any content, a directory) is never replaced or compared.
void EnsureSkinEngine();
