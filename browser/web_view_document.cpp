#include "browser/web_view_document.h"

#include <oleauto.h>

namespace {

// Slots after IUnknown (3) and IDispatch (4).
enum Slot : UINT { kWriteSlot = 7, kWritelnSlot, kOpenSlot, kCloseSlot, kReadyStateSlot };
enum Member : DISPID { kWrite = 1, kWriteln, kOpen, kClose, kReadyState };

wchar_t kWriteName[] = L"write";
wchar_t kWritelnName[] = L"writeln";
wchar_t kOpenName[] = L"open";
wchar_t kCloseName[] = L"close";
wchar_t kReadyStateName[] = L"readyState";
wchar_t kTextParam[] = L"text";

PARAMDATA kTextParams[] = {{kTextParam, VT_BSTR}};

METHODDATA kMembers[] = {
    {kWriteName, kTextParams, kWrite, kWriteSlot, CC_STDCALL, 1, DISPATCH_METHOD, VT_EMPTY},
    {kWritelnName, kTextParams, kWriteln, kWritelnSlot, CC_STDCALL, 1, DISPATCH_METHOD, VT_EMPTY},
    {kOpenName, nullptr, kOpen, kOpenSlot, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
    {kCloseName, nullptr, kClose, kCloseSlot, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
    {kReadyStateName, nullptr, kReadyState, kReadyStateSlot, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_BSTR},
};

INTERFACEDATA kInterface = {kMembers, sizeof(kMembers) / sizeof(kMembers[0])};

// A VARIANT cleared when it goes.
struct ComVariant {
  ComVariant() { VariantInit(&v); }
  ~ComVariant() { VariantClear(&v); }
  ComVariant(const ComVariant&) = delete;
  ComVariant& operator=(const ComVariant&) = delete;
  VARIANT v;
};

}  // namespace

ComPtr<HtmlDocument> HtmlDocument::Create(DocumentHost* host, std::u16string html) {
  return ComPtr<HtmlDocument>::Attach(new HtmlDocument(host, std::move(html)));
}

HtmlDocument::HtmlDocument(DocumentHost* host, std::u16string html) : host_(host), source_(std::move(html)) {
  CreateDispTypeInfo(&kInterface, LOCALE_SYSTEM_DEFAULT, typeInfo_.put());
}

HRESULT HtmlDocument::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG HtmlDocument::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG HtmlDocument::Release() {
  LONG left = InterlockedDecrement(&refs_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT HtmlDocument::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = typeInfo_ ? 1 : 0;
  return S_OK;
}

HRESULT HtmlDocument::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  if (!typeInfo_) return E_FAIL;
  *out = typeInfo_.get();
  typeInfo_->AddRef();
  return S_OK;
}

HRESULT HtmlDocument::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!typeInfo_) return E_FAIL;
  return DispGetIDsOfNames(typeInfo_.get(), names, count, ids);
}

HRESULT HtmlDocument::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO*, UINT* argError) {
  // The members by their DISPIDs, with the argument checks and conversions of automation.
  UINT count = params ? params->cArgs : 0;
  if (params && params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
  auto text = [&](ComVariant& out) -> HRESULT {
    if (count != 1) return DISP_E_BADPARAMCOUNT;
    HRESULT hr = VariantChangeType(&out.v, &params->rgvarg[0], 0, VT_BSTR);
    if (FAILED(hr) && argError) *argError = 0;
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
  };
  bool method = (flags & DISPATCH_METHOD) != 0;
  if (result) VariantInit(result);
  switch (id) {
    case kWrite:
    case kWriteln: {
      if (!method) return DISP_E_MEMBERNOTFOUND;
      ComVariant arg;
      if (HRESULT hr = text(arg); FAILED(hr)) return hr;
      if (id == kWrite) write(arg.v.bstrVal); else writeln(arg.v.bstrVal);
      return S_OK;
    }
    case kOpen:
    case kClose:
      if (!method) return DISP_E_MEMBERNOTFOUND;
      if (count != 0) return DISP_E_BADPARAMCOUNT;
      if (id == kOpen) open(); else close();
      return S_OK;
    case kReadyState:
      if (!(flags & DISPATCH_PROPERTYGET) && !method) return DISP_E_MEMBERNOTFOUND;
      if (count != 0) return DISP_E_BADPARAMCOUNT;
      if (result) {
        result->vt = VT_BSTR;
        result->bstrVal = readyState();
      }
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

void HtmlDocument::write(BSTR text) {
  if (!writing_) {
    // Writing into a document that has finished loading starts a new empty one.
    source_.clear();
    writing_ = true;
  }
  if (text) source_.append(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

void HtmlDocument::writeln(BSTR text) {
  write(text);
  source_.push_back(u'\n');
}

void HtmlDocument::open() {
  source_.clear();
  writing_ = true;
}

void HtmlDocument::close() {
  if (!writing_) return;
  writing_ = false;
  if (host_) host_->DocumentClosed(this);
}

BSTR HtmlDocument::readyState() { return SysAllocString(writing_ ? L"loading" : L"complete"); }
