// The engine's state: the skin in force and the windows of the attaching thread that draw in it.
#pragma once

#include <windows.h>

#include <optional>

#include "skinengine/skin_format.h"

namespace engine {

// The module handle of SkinH_EL.dll, set when it is loaded.
extern HINSTANCE Module;

// The skin in force; only asked for by windows that are skinned, so while one is.
const skin::SkinStyle& Skin();
COLORREF SkinColour(skin::Colour c);
int SkinMetric(skin::Metric m);
HBRUSH BackgroundBrush();

// Puts the skin in force for the calling thread's windows, those there now and those created later;
// nothing gives every skinned window its normal look again.
void Apply(std::optional<skin::SkinStyle> style);
// The library is being unloaded: unhook and unsubclass every window, without repainting.
void Release();

}  // namespace engine
