// A library named SkinH_EL.dll that does not export SkinH_AttachRes.
#include <cstdint>

extern "C" __declspec(dllexport) int32_t __stdcall SkinH_Detach() { return 0; }
