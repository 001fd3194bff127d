#include <gtest/gtest.h>

#include "browser/html_source.h"
#include "browser/html_test_support.h"

namespace html {
namespace {

using testing::U;
using testing::Utf8;

TEST(CodePage, ByteOrderMarksThenMetaThenChinese) {
  EXPECT_EQ(DetectCodePage("\xEF\xBB\xBFx"), 65001u);
  EXPECT_EQ(DetectCodePage("\xFF\xFEx\0"), 1200u);
  EXPECT_EQ(DetectCodePage("\xFE\xFF\0x"), 1201u);
  EXPECT_EQ(DetectCodePage("<meta charset=\"UTF-8\">"), 65001u);
  EXPECT_EQ(DetectCodePage("<META http-equiv=Content-Type content='text/html; charset=gb2312'>"), 936u);
  EXPECT_EQ(DetectCodePage("<meta charset=big5>"), 950u);
  EXPECT_EQ(DetectCodePage("<meta charset=utf-16>"), 65001u);
  EXPECT_EQ(DetectCodePage("<p>\xD6\xD0</p>"), 936u);
  EXPECT_EQ(DetectCodePage(std::string(2000, ' ') + "<meta charset=utf-8>"), 936u);
}

TEST(CodePage, Utf8DecodingReplacesMalformedBytes) {
  EXPECT_EQ(Utf8(DecodeUtf8("\xEF\xBB\xBF\xE4\xB8\xAD" "a")), "中a");
  EXPECT_EQ(DecodeUtf8("\xC0\x80" "b\xE4\xB8"), (std::u16string{0xFFFD, 0xFFFD, 'b', 0xFFFD}));
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), (std::u16string{0xFFFD}));
  EXPECT_EQ(DecodeUtf16(std::string("\xFF\xFE" "a\0", 4), false), u"a");
  EXPECT_EQ(DecodeUtf16(std::string("\0a", 2), true), u"a");
}

struct AddressCase {
  const char* address;
  AddressKind kind;
  const char* module;
  const char* type;
  const char* name;
  const char* path;
};

class Addresses : public ::testing::TestWithParam<AddressCase> {};

TEST_P(Addresses, AreRead) {
  const AddressCase& c = GetParam();
  Address a = ParseAddress(U(c.address));
  EXPECT_EQ(a.kind, c.kind) << c.address;
  EXPECT_EQ(Utf8(a.module), c.module) << c.address;
  EXPECT_EQ(Utf8(a.type), c.type) << c.address;
  EXPECT_EQ(Utf8(a.name), c.name) << c.address;
  EXPECT_EQ(Utf8(a.path), c.path) << c.address;
}

INSTANTIATE_TEST_SUITE_P(Cases, Addresses, ::testing::Values(
    AddressCase{"about:blank", AddressKind::kBlank, "", "", "", ""},
    AddressCase{"ABOUT:BLANK", AddressKind::kBlank, "", "", "", ""},
    AddressCase{"res://quorvane.exe/help.html", AddressKind::kResource, "quorvane.exe", "", "help.html", ""},
    AddressCase{"res://quorvane.exe/23/help.html", AddressKind::kResource, "quorvane.exe", "23", "help.html", ""},
    AddressCase{"res://C:\\dir\\quorvane.exe/%2323/help.html", AddressKind::kResource, "C:\\dir\\quorvane.exe", "#23", "help.html", ""},
    AddressCase{"res://quorvane.exe/help.html#keys", AddressKind::kResource, "quorvane.exe", "", "help.html", ""},
    AddressCase{"res://nothing", AddressKind::kUnknown, "", "", "", ""},
    AddressCase{"file:///C:/dir/a%20b.html", AddressKind::kFile, "", "", "", "C:\\dir\\a b.html"},
    AddressCase{"file://C:/x.html", AddressKind::kFile, "", "", "", "C:\\x.html"},
    AddressCase{"file:///C|/x.html", AddressKind::kFile, "", "", "", "C:\\x.html"},
    AddressCase{"file://server/share/x.html", AddressKind::kFile, "", "", "", "\\\\server\\share\\x.html"},
    AddressCase{"C:\\dir\\x.html", AddressKind::kFile, "", "", "", "C:\\dir\\x.html"},
    AddressCase{"page.html", AddressKind::kFile, "", "", "", "page.html"},
    AddressCase{"http://127.0.0.1/word/x.html", AddressKind::kNetwork, "", "", "", ""},
    AddressCase{"HTTPS://example.com/", AddressKind::kNetwork, "", "", "", ""},
    AddressCase{"javascript:alert(1)", AddressKind::kUnknown, "", "", "", ""},
    AddressCase{"mailto:a@b", AddressKind::kUnknown, "", "", "", ""}));

TEST(Addresses, EscapeHtmlNeutralisesMarkup) {
  EXPECT_EQ(Utf8(EscapeHtml(u"<a href=\"x\">&</a>")), "&lt;a href=&quot;x&quot;&gt;&amp;&lt;/a&gt;");
}

}  // namespace
}  // namespace html
