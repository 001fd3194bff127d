#include "skin/external_functions.h"

#include "app/shell.h"
#include "text/text.h"
#include "win32/scoped.h"

static_assert(sizeof(void*) == 4, "the external call thunk is 32-bit x86 code");

// The stack pointer is kept in EDI, which every callee preserves, with 64 spare bytes above the
// arguments for a callee that removes more than it was given.
asm(R"(
    .text
    .globl _QuorvaneCallStdcall
    .def _QuorvaneCallStdcall; .scl 2; .type 32; .endef
_QuorvaneCallStdcall:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    subl $64, %esp
    movl %esp, %edi
    movl 12(%ebp), %esi
    movl 16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    decl %ecx
    pushl (%esi,%ecx,4)
    jmp 1b
2:  call *8(%ebp)
    movl %esp, %ecx
    subl %edi, %ecx
    movl %edi, %esp
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    addl $64, %esp
    popl %edi
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

namespace {

ExternalFunction Table[kExternalRowCount] = {
    {"SkinH_EL.dll", "SkinH_AttachRes"},
    {"wininet.dll", "InternetOpenA"},
    {"wininet.dll", "InternetConnectA"},
    {"wininet.dll", "InternetCloseHandle"},
    {"wininet.dll", "HttpOpenRequestA"},
    {"wininet.dll", "InternetSetOptionA"},
    {"wininet.dll", "HttpSendRequestA"},
    {"wininet.dll", "InternetReadFile"},
    {"wininet.dll", "HttpQueryInfoA"},
    {"ole32.dll", "CoInitialize"},
    {nullptr, "MultiByteToWideChar"},
    {"kernel32.dll", "WideCharToMultiByte"},
    {"kernel32.dll", "WideCharToMultiByte"},
    {"ole32.dll", "CoUninitialize"},
};

const char* const kSystemLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                        "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

[[noreturn]] void CannotBind(const ExternalFunction& row) {
  if (row.library) {
    FatalStop(JoinTexts("无法找到指定DLL库文件“", row.library, "”中的输出命令“", row.name, "”"));
  }
  FatalStop(JoinTexts("无法找到指定DLL库文件中的输出命令“", row.name, "”"));
}

}  // namespace

ExternalFunction& ExternalRowOf(ExternalRow row) { return Table[row]; }

FARPROC BindExternal(ExternalFunction& row) {
  if (row.address) return row.address;
  ScopedModule module;
  FARPROC address = nullptr;
  if (!row.library) {
    // The first library that has the function stays loaded; the others are unloaded again.
    for (const char* library : kSystemLibraries) {
      ScopedModule candidate(LoadLibraryA(library));
      if (!candidate) continue;
      if (FARPROC found = GetProcAddress(candidate.get(), row.name)) {
        module = std::move(candidate);
        address = found;
        break;
      }
    }
  } else {
    // A copy next to the program wins over any other copy on the system.
    const Text besideProgram = JoinTexts(ProgramDirectory(), "\\", row.library);
    module.reset(LoadLibraryA(besideProgram.c_str()));
    if (!module) module.reset(LoadLibraryA(row.library));
    if (module) address = GetProcAddress(module.get(), row.name);
  }
  if (!address) {
    module.reset();
    CannotBind(row);
  }
  RegisterLibraryUnloader(UnloadExternalLibraries);
  row.module = module.release();
  row.address = address;
  return address;
}

uint32_t CallExternal(ExternalFunction& row, std::initializer_list<uint32_t> arguments) {
  const FARPROC function = BindExternal(row);
  int32_t imbalance = 0;
  const uint32_t result = QuorvaneCallStdcall(reinterpret_cast<const void*>(function), arguments.begin(),
                                              static_cast<uint32_t>(arguments.size()), &imbalance);
  if (imbalance != 0) FatalStop("调用DLL命令后发现堆栈错误", 6);
  return result;
}

void UnloadExternal(ExternalFunction& row) {
  ScopedModule module(row.module);
  row.module = nullptr;
  row.address = nullptr;
}

void UnloadExternalLibraries() {
  for (ExternalFunction& row : Table) UnloadExternal(row);
}
