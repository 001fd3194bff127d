// The document object of the web view, reached by automation: "write" and "close", found by name
// through its type information.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "win32/scoped.h"

// The methods the automation interface describes, in vtable order after IUnknown's.
struct IWebDocumentMethods : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE write(BSTR html) = 0;
  virtual HRESULT STDMETHODCALLTYPE close() = 0;
};

class WebDocument final : public IWebDocumentMethods {
 public:
  // A loaded document with the given HTML, belonging to the view; the view is told (kDocumentClosed)
  // when a writing ends, so it shows the new content.
  static ComPtr<WebDocument> Create(HWND view, std::wstring html);

  const std::wstring& html() const { return html_; }
  ComPtr<IDispatch> dispatch();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IWebDocumentMethods
  HRESULT STDMETHODCALLTYPE write(BSTR html) override;
  HRESULT STDMETHODCALLTYPE close() override;

 private:
  WebDocument(HWND view, std::wstring html) : view_(view), html_(std::move(html)) {}
  ~WebDocument() = default;

  LONG references_ = 1;
  HWND view_;
  std::wstring html_;
  bool writing_ = false;          // between the first "write" after loading and "close"
  ComPtr<IUnknown> standardDispatch_;  // IDispatch over the type information, delegating to us
};

// Sent to the view by a document whose writing has ended; lParam is the document.
constexpr UINT kDocumentClosed = WM_APP + 0x51;
