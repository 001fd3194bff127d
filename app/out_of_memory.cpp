// Running out of memory ends the program through the error box, naming the size of the failed
// request. Every allocation of the program goes through these.
#include <cstdlib>
#include <new>

#include "app/fatal_message.h"
#include "app/shell.h"

namespace {

[[noreturn]] void OutOfMemory(std::size_t size) { FatalStop(OutOfMemoryMessage(static_cast<uint32_t>(size))); }

void* Allocate(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  OutOfMemory(size);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
