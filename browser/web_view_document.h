// The document object of the web view: an automation object whose members ("write", "writeln",
// "open", "close", "readyState") are found by name through its type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "win32/scoped.h"

class HtmlDocument;

// What a document asks of the view that shows it.
class DocumentHost {
 public:
  // "close" ended the writing: the view shows what was written.
  virtual void DocumentClosed(HtmlDocument* document) = 0;

 protected:
  ~DocumentHost() = default;
};

class HtmlDocument final : public IDispatch {
 public:
  // A document that has finished loading `html` (about:blank: empty), shown by `host`.
  static ComPtr<HtmlDocument> Create(DocumentHost* host, std::u16string html);

  // The view no longer shows this document (it shows another or is gone); callers holding a
  // reference can still call it, to no visible effect.
  void Detach() { host_ = nullptr; }
  const std::u16string& source() const { return source_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argError) override;

  // The members, also in the order of the type information's vtable slots 7 to 11.
  virtual void STDMETHODCALLTYPE write(BSTR text);
  virtual void STDMETHODCALLTYPE writeln(BSTR text);
  virtual void STDMETHODCALLTYPE open();
  virtual void STDMETHODCALLTYPE close();
  virtual BSTR STDMETHODCALLTYPE readyState();

 private:
  HtmlDocument(DocumentHost* host, std::u16string html);
  ~HtmlDocument() = default;

  LONG refs_ = 1;
  DocumentHost* host_;
  ComPtr<ITypeInfo> typeInfo_;
  std::u16string source_;
  bool writing_ = false;  // between the first "write" (or "open") and "close"
};
