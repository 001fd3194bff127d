#include "lookup/service_address.h"

#ifdef QUORVANE_TEST_HOOKS
#include <windows.h>
#endif

#ifndef QUORVANE_SERVICE_BASE
#error "QUORVANE_SERVICE_BASE must name the keyword service's base address"
#endif

Text ServiceBaseAddress() {
#ifdef QUORVANE_TEST_HOOKS
  // Tests point the program at servers on ports of their choosing.
  char base[1024];
  const DWORD n = GetEnvironmentVariableA("QUORVANE_TEST_SERVICE_BASE", base, sizeof(base));
  if (n > 0 && n < sizeof(base)) return Text(base);
#endif
  return Text(QUORVANE_SERVICE_BASE);
}
