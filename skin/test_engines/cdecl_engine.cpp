// A SkinH_EL.dll whose SkinH_AttachRes takes its arguments in the C convention: the caller is left to
// remove them, which a stdcall caller never does.
#include <cstdint>

extern "C" __declspec(dllexport) int32_t __cdecl SkinH_AttachRes(const void*, int32_t, const char*, int32_t,
                                                                 int32_t, int32_t) {
  return 0;
}
