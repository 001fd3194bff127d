#include "app/test_hooks.h"

#include <cstring>
#include <new>
#include <string_view>

#include "app/shell.h"
#include "skin/skin_test_hooks.h"

#ifdef QUORVANE_TEST_HOOKS
LRESULT HandleTestHook(const COPYDATASTRUCT* request) {
  if (!request) return FALSE;
  const auto* bytes = static_cast<const char*>(request->lpData);
  const size_t size = request->cbData;
  switch (request->dwData) {
    case kTestHookFatalStop: {
      if (size < sizeof(int32_t)) return FALSE;
      int32_t errorNumber = 0;
      std::memcpy(&errorNumber, bytes, sizeof(errorNumber));
      FatalStop(Text(std::string_view(bytes + sizeof(errorNumber), size - sizeof(errorNumber))), errorNumber);
    }
    case kTestHookAllocate: {
      if (size < sizeof(uint32_t)) return FALSE;
      uint32_t count = 0;
      std::memcpy(&count, bytes, sizeof(count));
      // A request the system cannot serve ends the program. Kept in a volatile so it is not elided.
      void* volatile block = ::operator new(count);
      ::operator delete(block);
      return TRUE;
    }
    case kTestHookApplySkin:
      return HandleApplySkinRequest(bytes, static_cast<uint32_t>(size)) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}
#else
LRESULT HandleTestHook(const COPYDATASTRUCT*) { return FALSE; }
#endif
