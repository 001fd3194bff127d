// Variant: one COM VARIANT value, owned. Copies duplicate the value (VariantCopy: strings and arrays
// are duplicated, objects get a reference of their own); destruction releases it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>

#include "text/byte_set.h"
#include "text/text.h"

class Variant {
 public:
  Variant() { VariantInit(&value_); }  // the empty value
  explicit Variant(int32_t number);
  // Takes over the value, leaving `owned` empty.
  static Variant Attach(VARIANT& owned);
  // A string of the text converted through the system's ANSI code page.
  static Variant FromText(const Text& text);

  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(Variant other) noexcept;
  ~Variant() { VariantClear(&value_); }

  // Releases the previous value and becomes a one-dimensional array of unsigned bytes with lower
  // bound 1 holding a copy of the bytes (no elements for the empty byte set).
  void AssignBytes(const ByteSet& bytes);
  // A byte array's bytes, a string's UTF-16LE units without terminator; empty for anything else.
  ByteSet GetBytes() const;
  // The value converted to a string, then to text through the system's ANSI code page; empty when
  // it cannot be converted.
  Text GetText() const;
  // For a byte array: a string whose units are the array's bytes, as the system's conversion of a
  // byte array to a string makes it, but without that conversion's intermediate copies. Any other
  // value is copied as it is.
  Variant BytesAsString() const;
  // The value converted to a double; 0 when it cannot be converted.
  double GetNumber() const;
  void Clear() { VariantClear(&value_); }

  VARTYPE type() const { return value_.vt; }
  const VARIANT& get() const { return value_; }
  // For out-parameters: releases what is held first.
  VARIANT* put() {
    Clear();
    return &value_;
  }

 private:
  // The copying and converting calls take their source as non-const, but only read it.
  VARIANT* source() const { return const_cast<VARIANT*>(&value_); }
  VARIANT value_;
};
