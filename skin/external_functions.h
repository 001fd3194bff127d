// The table of functions in outside libraries that the program calls by name. A row is bound at its
// first call: its library is loaded (from the program directory first) and the function looked up;
// a row that cannot be bound ends the program. Every call through the table checks the stack after.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>

struct ExternalFunction {
  const char* library;  // null: the first of the system libraries that has the function
  const char* name;
  HMODULE module = nullptr;  // both empty until the row is bound
  FARPROC address = nullptr;
};

// The rows in table order. Only the skin engine is called through the table; the HTTP, COM and
// code-page functions of the other rows are linked by the platform's ordinary import tables.
enum ExternalRow : int {
  kSkinHAttachRes,
  kInternetOpenA,
  kInternetConnectA,
  kInternetCloseHandle,
  kHttpOpenRequestA,
  kInternetSetOptionA,
  kHttpSendRequestA,
  kInternetReadFile,
  kHttpQueryInfoA,
  kCoInitialize,
  kMultiByteToWideChar,
  kWideCharToMultiByte,
  kWideCharToMultiByteToo,
  kCoUninitialize,
  kExternalRowCount
};

ExternalFunction& ExternalRowOf(ExternalRow row);

// The row's function, binding it first when it is not bound yet; FatalStop when it cannot be bound.
FARPROC BindExternal(ExternalFunction& row);

// Calls the row's function with 32-bit arguments in the standard Windows convention (the callee
// removes them). FatalStop with error 6 when the callee removed more or fewer bytes than were pushed.
uint32_t CallExternal(ExternalFunction& row, std::initializer_list<uint32_t> arguments);

// Unloads the library of every bound row of the table and empties the rows (shutdown, FatalStop).
void UnloadExternalLibraries();
void UnloadExternal(ExternalFunction& row);

// Pushes `count` arguments (the last first), calls `function` and gives its 32-bit result. Stores in
// `stackImbalance` the stack pointer after the call minus the one before the arguments were pushed:
// 0 for a callee that removed exactly its arguments, -4 * count for one that removed none (cdecl).
// The stack is put right again whatever the callee did.
extern "C" uint32_t QuorvaneCallStdcall(const void* function, const uint32_t* arguments, uint32_t count,
                                        int32_t* stackImbalance);
