#include "browser/web_document.h"

namespace {

// Type information for the two methods, built once: CreateStdDispatch then maps names and
// DISPIDs to the vtable entries.
ITypeInfo* DocumentTypeInfo() {
  static PARAMDATA writeParams[] = {{const_cast<OLECHAR*>(L"html"), VT_BSTR}};
  static METHODDATA methods[] = {
      {const_cast<OLECHAR*>(L"write"), writeParams, 1, 3, CC_STDCALL, 1, DISPATCH_METHOD, VT_EMPTY},
      {const_cast<OLECHAR*>(L"close"), nullptr, 2, 4, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
  };
  static INTERFACEDATA data = {methods, 2};
  static ComPtr<ITypeInfo> info = [] {
    ComPtr<ITypeInfo> made;
    if (FAILED(CreateDispTypeInfo(&data, LOCALE_SYSTEM_DEFAULT, made.put()))) return made;
    // Some implementations answer with a class whose one interface holds the methods.
    TYPEATTR* attributes = nullptr;
    if (FAILED(made->GetTypeAttr(&attributes))) return ComPtr<ITypeInfo>();
    const bool isClass = attributes->typekind == TKIND_COCLASS;
    made->ReleaseTypeAttr(attributes);
    if (!isClass) return made;
    HREFTYPE interfaceRef = 0;
    ComPtr<ITypeInfo> interfaceInfo;
    if (SUCCEEDED(made->GetRefTypeOfImplType(0, &interfaceRef))) made->GetRefTypeInfo(interfaceRef, interfaceInfo.put());
    return interfaceInfo;
  }();
  return info.get();
}

}  // namespace

ComPtr<WebDocument> WebDocument::Create(HWND view, std::wstring html) {
  ComPtr<WebDocument> document = ComPtr<WebDocument>::Attach(new WebDocument(view, std::move(html)));
  if (ITypeInfo* info = DocumentTypeInfo()) {
    CreateStdDispatch(static_cast<IUnknown*>(document.get()), static_cast<IWebDocumentMethods*>(document.get()),
                      info, document->standardDispatch_.put());
  }
  return document;
}

ComPtr<IDispatch> WebDocument::dispatch() {
  ComPtr<IDispatch> out;
  QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out.put()));
  return out;
}

HRESULT WebDocument::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid == IID_IUnknown) {
    *object = static_cast<IUnknown*>(this);
  } else if (riid == IID_IDispatch) {
    return standardDispatch_ ? standardDispatch_->QueryInterface(riid, object) : E_NOINTERFACE;
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG WebDocument::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG WebDocument::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    // The standard dispatch holds no reference to us (we are its outer object); drop it first.
    standardDispatch_.reset();
    delete this;
  }
  return static_cast<ULONG>(left);
}

HRESULT WebDocument::write(BSTR html) {
  if (!writing_) {
    // Writing into a document that has finished loading starts a new, empty one.
    html_.clear();
    writing_ = true;
  }
  if (html) html_.append(html, SysStringLen(html));
  return S_OK;
}

HRESULT WebDocument::close() {
  if (!writing_) return S_OK;
  writing_ = false;
  if (IsWindow(view_)) SendMessageW(view_, kDocumentClosed, 0, reinterpret_cast<LPARAM>(this));
  return S_OK;
}
