// Requests that only the end-to-end tests send, as WM_COPYDATA to the main window. Built only with
// QUORVANE_TEST_HOOKS; otherwise every request is refused (FALSE).
#pragma once

#include <windows.h>

#include <cstdint>

// dwData values.
constexpr ULONG_PTR kTestHookFatalStop = 0x51564653;    // 'QVFS': int32 error number, then the message bytes
constexpr ULONG_PTR kTestHookAllocate = 0x5156414C;     // 'QVAL': uint32 byte count to allocate
constexpr ULONG_PTR kTestHookApplySkin = 0x5156534B;    // 'QVSK': int32 skin number for ApplySkin

LRESULT HandleTestHook(const COPYDATASTRUCT* request);
