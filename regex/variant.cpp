#include "regex/variant.h"

#include <oleauto.h>

#include <algorithm>
#include <utility>

#include "regex/wide_text.h"

namespace {

// Keeps a safe array's data locked while it is read or filled.
class SafeArrayData {
 public:
  explicit SafeArrayData(SAFEARRAY* array) : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) data_ = nullptr;
  }
  ~SafeArrayData() {
    if (data_) SafeArrayUnaccessData(array_);
  }
  SafeArrayData(const SafeArrayData&) = delete;
  SafeArrayData& operator=(const SafeArrayData&) = delete;
  uint8_t* bytes() const { return static_cast<uint8_t*>(data_); }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

}  // namespace

Variant::Variant(int32_t number) : Variant() {
  value_.vt = VT_I4;
  value_.lVal = number;
}

Variant Variant::Attach(VARIANT& owned) {
  Variant v;
  v.value_ = owned;
  VariantInit(&owned);
  return v;
}

Variant Variant::FromText(const Text& text) {
  Variant v;
  const int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), text.length(), nullptr, 0);
  BSTR string = SysAllocStringLen(nullptr, static_cast<UINT>(std::max(units, 0)));
  if (!string) return v;
  if (units > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), text.length(), string, units);
  v.value_.vt = VT_BSTR;
  v.value_.bstrVal = string;
  return v;
}

Variant::Variant(const Variant& other) : Variant() { VariantCopy(&value_, other.source()); }

Variant::Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }

Variant& Variant::operator=(Variant other) noexcept {
  std::swap(value_, other.value_);
  return *this;
}

void Variant::AssignBytes(const ByteSet& bytes) {
  Clear();
  SAFEARRAYBOUND bound{static_cast<ULONG>(ByteSetLength(bytes)), 1};
  Variant filled;
  filled.value_.parray = SafeArrayCreate(VT_UI1, 1, &bound);
  if (!filled.value_.parray) return;
  filled.value_.vt = VT_ARRAY | VT_UI1;
  if (bound.cElements > 0) {
    SafeArrayData data(filled.value_.parray);
    if (!data.bytes()) return;
    std::copy_n(bytes.data(), bound.cElements, data.bytes());
  }
  *this = std::move(filled);
}

ByteSet Variant::GetBytes() const {
  if (value_.vt == VT_BSTR) {
    return ByteSet::FromBytes(value_.bstrVal, SysStringByteLen(value_.bstrVal));
  }
  if (value_.vt != (VT_ARRAY | VT_UI1) || !value_.parray || SafeArrayGetDim(value_.parray) != 1) {
    return ByteSet();
  }
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(value_.parray, 1, &lower);
  SafeArrayGetUBound(value_.parray, 1, &upper);
  if (upper < lower) return ByteSet();
  SafeArrayData data(value_.parray);
  if (!data.bytes()) return ByteSet();
  return ByteSet::FromBytes(data.bytes(), static_cast<size_t>(upper - lower) + 1);
}

Variant Variant::BytesAsString() const {
  if (value_.vt != (VT_ARRAY | VT_UI1) || !value_.parray || SafeArrayGetDim(value_.parray) != 1) return *this;
  const ULONG count = value_.parray->rgsabound[0].cElements;
  SafeArrayData data(value_.parray);
  if (count > 0 && !data.bytes()) return Variant();
  VARIANT string;
  VariantInit(&string);
  string.bstrVal = SysAllocStringByteLen(reinterpret_cast<const char*>(data.bytes()), count);
  if (!string.bstrVal) return Variant();
  string.vt = VT_BSTR;
  return Attach(string);
}

Text Variant::GetText() const {
  if (value_.vt == VT_BSTR) return WideToText(CP_ACP, 0, value_.bstrVal, static_cast<int>(SysStringLen(value_.bstrVal)));
  Variant string;
  if (FAILED(VariantChangeType(string.put(), source(), 0, VT_BSTR))) return Text();
  return string.GetText();
}

double Variant::GetNumber() const {
  Variant converted;
  if (FAILED(VariantChangeType(converted.put(), source(), 0, VT_R8))) return 0;
  return converted.get().dblVal;
}
