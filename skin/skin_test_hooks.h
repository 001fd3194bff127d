// What only the end-to-end tests reach; every function does nothing in builds without test hooks.
#pragma once

#include <cstdint>

// With QUORVANE_TEST_ENGINE_WRITE_LIMIT=N in the environment, writing the engine stops after N bytes
// and the process dies at once (exit code 3), as a power cut or a killed process would stop it.
// Called before each piece of `bytes` from `done` on is written to `file`.
void TestCutEngineWrite(void* file, const uint8_t* bytes, uint32_t done, uint32_t piece);

// Traces what the engine reports of the attach just made, and whether the skin copy handed over at
// `handedOver` (the address of its first data byte; 0 for none) has been released.
void TraceSkinAttach(uint32_t handedOver);

// The test hook request 'QVSK': ApplySkin with the int32 number in the payload.
bool HandleApplySkinRequest(const void* payload, uint32_t size);
