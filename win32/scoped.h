// RAII owners for Win32 handles and COM references, so every early return cleans up.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <utility>

// Owns one handle of a kind described by Traits: Traits::Invalid() and Traits::Close(handle).
template <typename Traits>
class ScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedHandle() = default;
  explicit ScopedHandle(Handle h) : handle_(h) {}
  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  ~ScopedHandle() { reset(); }

  Handle get() const { return handle_; }
  bool valid() const { return handle_ != Traits::Invalid(); }
  explicit operator bool() const { return valid(); }
  Handle release() { return std::exchange(handle_, Traits::Invalid()); }
  void reset(Handle h = Traits::Invalid()) {
    if (valid()) Traits::Close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {  // events, threads, processes, mappings
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CloseHandle(h); }
};
struct FileHandleTraits {  // CreateFile answers INVALID_HANDLE_VALUE on failure
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { FreeLibrary(h); }
};
struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { InternetCloseHandle(h); }
};
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
struct IconTraits {
  using Handle = HICON;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DestroyMenu(h); }
};
struct GlobalMemoryTraits {  // GlobalAlloc; a block handed to the clipboard is released from ownership
  using Handle = HGLOBAL;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { GlobalFree(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) {
    if (IsWindow(h)) DestroyWindow(h);
  }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedFile = ScopedHandle<FileHandleTraits>;
using ScopedFind = ScopedHandle<FindHandleTraits>;
using ScopedModule = ScopedHandle<ModuleTraits>;
using ScopedInternetHandle = ScopedHandle<InternetHandleTraits>;
using ScopedGdiObject = ScopedHandle<GdiObjectTraits>;
using ScopedIcon = ScopedHandle<IconTraits>;
using ScopedWindow = ScopedHandle<WindowTraits>;
using ScopedMenu = ScopedHandle<MenuTraits>;
using ScopedGlobalMemory = ScopedHandle<GlobalMemoryTraits>;

// Holds one COM reference.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT(google-explicit-constructor)
  // Takes over a reference the caller owns.
  static ComPtr Attach(T* p) {
    ComPtr c;
    c.ptr_ = p;
    return c;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* p) {
    if (p) p->AddRef();
    return Attach(p);
  }
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~ComPtr() { reset(); }

  T* get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }
  void reset() {
    if (T* p = std::exchange(ptr_, nullptr)) p->Release();
  }
  // For out-parameters: releases what is held first.
  T** put() {
    reset();
    return &ptr_;
  }
  T* detach() { return std::exchange(ptr_, nullptr); }

  template <typename U>
  ComPtr<U> query() const {
    ComPtr<U> out;
    if (ptr_) ptr_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(out.put()));
    return out;
  }

 private:
  T* ptr_ = nullptr;
};

struct MemoryDcTraits {  // CreateCompatibleDC
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
using ScopedMemoryDC = ScopedHandle<MemoryDcTraits>;

// GetDC (the client area) or GetWindowDC (the whole window, frame included) / ReleaseDC.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  static ScopedWindowDC WholeWindow(HWND hwnd) { return ScopedWindowDC(hwnd, GetWindowDC(hwnd)); }
  ScopedWindowDC(ScopedWindowDC&& other) noexcept : hwnd_(other.hwnd_), dc_(std::exchange(other.dc_, nullptr)) {}
  ~ScopedWindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  ScopedWindowDC(const ScopedWindowDC&) = delete;
  ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  ScopedWindowDC(HWND hwnd, HDC dc) : hwnd_(hwnd), dc_(dc) {}
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& info() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_ = {};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~ScopedSelectObject() { SelectObject(dc_, old_); }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};
