#include "regex/com_object.h"

#include <ole2.h>

#include <vector>

namespace {

Variant OwnedValue(VARTYPE type, auto assign) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  assign(v);
  return Variant::Attach(v);
}

// An object result: a dispatch interface as it is, an unknown one asked for its dispatch interface.
ComObject ObjectOf(const Variant& result) {
  const VARIANT& v = result.get();
  if (v.vt == VT_DISPATCH) return ComObject(ComPtr<IDispatch>::Share(v.pdispVal));
  if (v.vt == VT_UNKNOWN && v.punkVal) {
    ComPtr<IDispatch> object;
    v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(object.put()));
    return ComObject(std::move(object));
  }
  return ComObject();
}

}  // namespace

ComArg::ComArg(bool value)
    : given_(true), owned_(OwnedValue(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; })) {}

ComArg::ComArg(int32_t value) : given_(true), owned_(value) {}

ComArg::ComArg(double value) : given_(true), owned_(OwnedValue(VT_R8, [&](VARIANT& v) { v.dblVal = value; })) {}

ComArg::ComArg(const Text& value) : given_(true), owned_(Variant::FromText(value)) {}

ComArg::ComArg(const ComObject& value)
    : given_(true), owned_(OwnedValue(VT_DISPATCH, [&](VARIANT& v) {
        v.pdispVal = ComPtr<IDispatch>::Share(value.get()).detach();
      })) {}

ComArg::ComArg(const Variant& value) : given_(true), borrowed_(&value) {}

bool ComObject::CreateFromProgId(const wchar_t* progId) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(progId, &clsid))) return false;
  ComPtr<IDispatch> created;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch,
                              reinterpret_cast<void**>(created.put())))) {
    return false;
  }
  if (!created || FAILED(OleRun(created.get()))) return false;
  object_ = std::move(created);
  return true;
}

bool ComObject::Invoke(WORD kind, const wchar_t* name, const ComArg* args, size_t count, Variant* result) const {
  if (!object_) return false;
  DISPID member = DISPID_UNKNOWN;
  auto* names = const_cast<LPOLESTR>(name);
  if (FAILED(object_->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &member))) return false;

  // Trailing arguments the caller did not give are left out; Invoke takes the rest last to first.
  while (count > 0 && !args[count - 1].given()) --count;
  std::vector<VARIANT> values(count);
  for (size_t i = 0; i < count; ++i) {
    const ComArg& arg = args[count - 1 - i];
    if (arg.given()) {
      values[i] = arg.value();  // a view: the argument keeps ownership
    } else {
      values[i].vt = VT_ERROR;
      values[i].scode = DISP_E_PARAMNOTFOUND;
    }
  }
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(count), 0};
  if (kind == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &putId;
    params.cNamedArgs = 1;
  }
  VARIANT* out = result ? result->put() : nullptr;
  if (SUCCEEDED(object_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, out, nullptr, nullptr))) {
    return true;
  }
  if (result) result->Clear();
  return false;
}

Variant ComObject::Invoke(WORD kind, const wchar_t* name, ComArgs args) const {
  Variant result;
  Invoke(kind, name, args.begin(), args.size(), &result);
  return result;
}

bool ComObject::WriteProperty(const wchar_t* name, const ComArg& value) {
  return value.given() && Invoke(DISPATCH_PROPERTYPUT, name, &value, 1, nullptr);
}

Text ComObject::ReadText(const wchar_t* name, ComArgs args) const {
  return Invoke(DISPATCH_PROPERTYGET, name, args).GetText();
}

double ComObject::ReadNumber(const wchar_t* name, ComArgs args) const {
  return Invoke(DISPATCH_PROPERTYGET, name, args).GetNumber();
}

ComObject ComObject::ReadObject(const wchar_t* name, ComArgs args) const {
  return ObjectOf(Invoke(DISPATCH_PROPERTYGET, name, args));
}

Variant ComObject::ReadVariant(const wchar_t* name, ComArgs args) const {
  return Invoke(DISPATCH_PROPERTYGET, name, args);
}

Text ComObject::CallText(const wchar_t* name, ComArgs args) const {
  return Invoke(DISPATCH_METHOD, name, args).GetText();
}

ComObject ComObject::CallObject(const wchar_t* name, ComArgs args) const {
  return ObjectOf(Invoke(DISPATCH_METHOD, name, args));
}
