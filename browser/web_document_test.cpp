#include "browser/web_document.h"

#include <gtest/gtest.h>

#include "regex/com_object.h"

namespace {
struct OleScope {
  OleScope() { OleInitialize(nullptr); }
  ~OleScope() { OleUninitialize(); }
};
}  // namespace

TEST(WebDocumentTest, WriteAndCloseByNameThroughTypeInformation) {
  OleScope ole;
  ComPtr<WebDocument> document = WebDocument::Create(nullptr, L"<p>loaded</p>");
  ComPtr<IDispatch> dispatch = document->dispatch();
  ASSERT_TRUE(dispatch);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"write");
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  ComObject holder{dispatch};
  holder.CallObject(L"write", {Text("<b>a</b>")});
  holder.CallObject(L"write", {Text("\xD6\xD0")});
  holder.CallObject(L"close");
  EXPECT_EQ(document->html(), L"<b>a</b>\x4E2D");
  // After close the document has finished loading: the next write starts a new one.
  holder.CallObject(L"write", {Text("new")});
  EXPECT_EQ(document->html(), L"new");
  // Unknown names fail as automation does, silently for the caller.
  name = const_cast<LPOLESTR>(L"bogus");
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  EXPECT_TRUE(holder.CallObject(L"bogus").IsEmpty());
}
