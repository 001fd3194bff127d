// ComObject: a holder of at most one reference to a COM automation object, reached by member name.
// Copies share the object (each holds a reference of its own). Every call looks the member up by
// name; every failure (empty holder, unknown member, refused call, unconvertible result) is silent
// and gives the empty value of the asked type.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "regex/variant.h"
#include "text/text.h"
#include "win32/scoped.h"

class ComObject;

// One argument of a call by name. A default-made one stands for an argument the caller did not give:
// left out when it is at the end of the list, otherwise passed as the "missing" marker.
class ComArg {
 public:
  ComArg() = default;
  ComArg(bool value);            // NOLINT(google-explicit-constructor): VARIANT_TRUE is -1
  ComArg(int32_t value);         // NOLINT(google-explicit-constructor)
  ComArg(double value);          // NOLINT(google-explicit-constructor)
  ComArg(const Text& value);     // NOLINT(google-explicit-constructor): through the ANSI code page
  ComArg(const ComObject& value);  // NOLINT(google-explicit-constructor)
  // Passed as it stands, without a copy: the callee only reads its in-arguments.
  ComArg(const Variant& value);  // NOLINT(google-explicit-constructor)
  // A literal would otherwise turn into a bool; write Text("...").
  ComArg(const char*) = delete;

  bool given() const { return given_; }
  // The value handed to the call; it stays owned by this argument or by the caller's Variant.
  const VARIANT& value() const { return borrowed_ ? borrowed_->get() : owned_.get(); }

 private:
  bool given_ = false;
  Variant owned_;
  const Variant* borrowed_ = nullptr;
};

using ComArgs = std::initializer_list<ComArg>;

class ComObject {
 public:
  ComObject() = default;
  explicit ComObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  // Creates an instance of the class the ProgID names and puts it in the running state. On success
  // the previous object is released; on failure the holder is left as it was.
  bool CreateFromProgId(const wchar_t* progId);
  bool IsEmpty() const { return !object_; }
  void Clear() { object_.reset(); }
  IDispatch* get() const { return object_.get(); }

  bool WriteProperty(const wchar_t* name, const ComArg& value);
  Text ReadText(const wchar_t* name, ComArgs args = {}) const;
  double ReadNumber(const wchar_t* name, ComArgs args = {}) const;
  ComObject ReadObject(const wchar_t* name, ComArgs args = {}) const;
  Variant ReadVariant(const wchar_t* name, ComArgs args = {}) const;
  Text CallText(const wchar_t* name, ComArgs args = {}) const;
  ComObject CallObject(const wchar_t* name, ComArgs args = {}) const;

 private:
  // Calls the member with the arguments; the result goes to `result` when one is asked for.
  bool Invoke(WORD kind, const wchar_t* name, const ComArg* args, size_t count, Variant* result) const;
  // The result of the call, or the empty Variant when it fails.
  Variant Invoke(WORD kind, const wchar_t* name, ComArgs args) const;
  ComPtr<IDispatch> object_;
};
