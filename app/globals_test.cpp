#include "app/globals.h"

#include <gtest/gtest.h>

#include <ole2.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/test_trace.h"

namespace {

// True while the thread's COM library is initialised: CoInitialize then only adds a reference.
bool ComLibraryOpen() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) CoUninitialize();
  return hr == S_FALSE;
}

// A document object that records its final release in the trace, with the state of COM at that time.
class TracedDocument final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      TestTrace(ComLibraryOpen() ? "document freed, COM open" : "document freed, COM closed");
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  ULONG references_ = 1;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class GlobalsTest : public testing::Test {
 protected:
  void SetUp() override {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    trace_ = std::string(folder) + "quorvane_globals_trace.txt";
    DeleteFileA(trace_.c_str());
    SetEnvironmentVariableA("QUORVANE_TRACE", trace_.c_str());
    OleInitialize(nullptr);  // the shell's apartment, open around the globals' whole life
  }
  void TearDown() override {
    SetEnvironmentVariableA("QUORVANE_TRACE", nullptr);
    DeleteFileA(trace_.c_str());
  }
  std::string trace_;
};

TEST_F(GlobalsTest, StartOutEmpty) {
  InitGlobals();
  EXPECT_TRUE(PageText.empty());
  ASSERT_TRUE(Matcher);
  EXPECT_TRUE(Matcher->Engine.IsEmpty());
  EXPECT_TRUE(Matcher->Matches.IsEmpty());
  EXPECT_EQ(Matcher->Subject.type(), VT_I4);
  ASSERT_TRUE(ResultDocument);
  EXPECT_TRUE(ResultDocument->IsEmpty());
  ReleaseGlobals();
  OleUninitialize();
  EXPECT_EQ(ReadAll(trace_), "ReleaseGlobals\r\nMatcher CoUninitialize\r\nResultDocument released\r\n");
}

TEST_F(GlobalsTest, DocumentIsReleasedAfterTheMatcherWhileComIsOpen) {
  InitGlobals();
  ASSERT_TRUE(Matcher->Create("<b>[\\s\\S]*?</b>", "<b>\xBF\xE9</b>"));
  PageText = Matcher->MatchText(1);
  *ResultDocument = ComObject(ComPtr<IDispatch>::Attach(new TracedDocument));
  ReleaseGlobals();
  EXPECT_TRUE(ComLibraryOpen()) << "the shell's apartment outlives the globals";
  OleUninitialize();
  EXPECT_EQ(ReadAll(trace_),
            "ReleaseGlobals\r\nMatcher CoUninitialize\r\ndocument freed, COM open\r\nResultDocument released\r\n");
}

}  // namespace
