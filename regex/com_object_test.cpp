#include "regex/com_object.h"

#include <gtest/gtest.h>

#include "regex/variant.h"

namespace {

// Each test holds its own reference on the thread's COM library.
class ComTest : public testing::Test {
 protected:
  void SetUp() override { CoInitialize(nullptr); }
  void TearDown() override { CoUninitialize(); }
};

using VariantTest = ComTest;
using ComObjectTest = ComTest;

ByteSet Bytes(std::string_view b) { return ByteSet::FromBytes(b.data(), b.size()); }

TEST_F(VariantTest, ByteSetBecomesAByteArrayWithLowerBoundOne) {
  Variant v(7);
  v.AssignBytes(Bytes("xyz"));
  ASSERT_EQ(v.type(), VT_ARRAY | VT_UI1);
  SAFEARRAY* array = v.get().parray;
  LONG lower = 0, upper = 0;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  EXPECT_EQ(lower, 1);
  EXPECT_EQ(upper, 3);
  EXPECT_EQ(v.GetBytes(), Bytes("xyz"));
}

TEST_F(VariantTest, EmptyByteSetBecomesAnArrayWithoutElements) {
  Variant v;
  v.AssignBytes(ByteSet());
  ASSERT_EQ(v.type(), VT_ARRAY | VT_UI1);
  EXPECT_EQ(v.get().parray->rgsabound[0].cElements, 0u);
  EXPECT_TRUE(v.GetBytes().isNull());
}

TEST_F(VariantTest, StringGivesItsUnitsWithoutTerminator) {
  EXPECT_EQ(Variant::FromText("ab").GetBytes(), Bytes({"a\0b\0", 4}));
  EXPECT_TRUE(Variant::FromText("").GetBytes().isNull());
}

TEST_F(VariantTest, OtherValuesGiveNoBytes) {
  EXPECT_TRUE(Variant().GetBytes().isNull());
  EXPECT_TRUE(Variant(5).GetBytes().isNull());
}

TEST_F(VariantTest, TextGoesThroughTheAnsiCodePage) {
  ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese system code page";
  const Variant v = Variant::FromText("\xD6\xD0" "a");
  ASSERT_EQ(v.type(), VT_BSTR);
  EXPECT_EQ(std::wstring(v.get().bstrVal, SysStringLen(v.get().bstrVal)), L"\u4E2D" L"a");
  EXPECT_EQ(v.GetText(), Text("\xD6\xD0" "a"));
}

TEST_F(VariantTest, TextOfOtherValues) {
  EXPECT_EQ(Variant(-42).GetText(), Text("-42"));
  EXPECT_EQ(Variant().GetText(), Text());
  Variant array;
  array.AssignBytes(Bytes({"h\0i\0", 4}));
  EXPECT_EQ(array.GetText(), Text("hi"));  // the array's bytes read as the string's units
}

TEST_F(VariantTest, ByteArrayAsStringTakesTheBytesAsUnits) {
  Variant array;
  array.AssignBytes(Bytes({"h\0i\0\0\0", 6}));
  const Variant string = array.BytesAsString();
  ASSERT_EQ(string.type(), VT_BSTR);
  EXPECT_EQ(std::wstring(string.get().bstrVal, SysStringLen(string.get().bstrVal)), std::wstring(L"hi\0", 3));
  // What the system's own conversion gives.
  Variant converted;
  ASSERT_EQ(VariantChangeType(converted.put(), const_cast<VARIANT*>(&array.get()), 0, VT_BSTR), S_OK);
  EXPECT_EQ(string.GetBytes(), converted.GetBytes());

  array.AssignBytes(ByteSet());
  ASSERT_EQ(array.BytesAsString().type(), VT_BSTR);
  EXPECT_EQ(SysStringLen(array.BytesAsString().get().bstrVal), 0u);
  EXPECT_EQ(Variant(3).BytesAsString().type(), VT_I4);
}

TEST_F(VariantTest, CopiesAreIndependent) {
  Variant original;
  original.AssignBytes(Bytes("abc"));
  Variant copy = original;
  EXPECT_NE(copy.get().parray, original.get().parray);
  original.Clear();
  EXPECT_EQ(original.type(), VT_EMPTY);
  EXPECT_EQ(copy.GetBytes(), Bytes("abc"));
}

TEST_F(ComObjectTest, CreatesFromProgId) {
  ComObject engine;
  EXPECT_TRUE(engine.IsEmpty());
  ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
  EXPECT_FALSE(engine.IsEmpty());
  engine.Clear();
  EXPECT_TRUE(engine.IsEmpty());
}

TEST_F(ComObjectTest, FailedCreationLeavesTheHolderAsItWas) {
  ComObject engine;
  EXPECT_FALSE(engine.CreateFromProgId(L"Quorvane.NoSuchClass"));
  EXPECT_TRUE(engine.IsEmpty());
  ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
  IDispatch* before = engine.get();
  EXPECT_FALSE(engine.CreateFromProgId(L"Quorvane.NoSuchClass"));
  EXPECT_EQ(engine.get(), before);
}

TEST_F(ComObjectTest, CopyHoldsAReferenceOfItsOwn) {
  ComObject copy;
  {
    ComObject engine;
    ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
    ASSERT_TRUE(engine.WriteProperty(L"Pattern", Text("a+")));
    copy = engine;
    EXPECT_EQ(copy.get(), engine.get());
  }
  EXPECT_EQ(copy.ReadText(L"Pattern"), Text("a+"));
}

TEST_F(ComObjectTest, BooleansTravelAsVariantTrue) {
  ComObject engine;
  ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
  for (bool value : {true, false}) {
    ASSERT_TRUE(engine.WriteProperty(L"Global", value));
    const Variant read = engine.ReadVariant(L"Global");
    ASSERT_EQ(read.type(), VT_BOOL);
    EXPECT_EQ(read.get().boolVal, value ? VARIANT_TRUE : VARIANT_FALSE);
    EXPECT_EQ(engine.ReadNumber(L"Global"), value ? -1.0 : 0.0);
  }
}

TEST_F(ComObjectTest, TrailingArgumentsNotGivenAreLeftOut) {
  ComObject engine;
  ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
  ASSERT_TRUE(engine.WriteProperty(L"Pattern", Text("b")));
  // "Replace" takes two arguments: a third one, when passed, makes the call fail.
  EXPECT_EQ(engine.CallText(L"Replace", {Text("abc"), Text("X"), ComArg(), ComArg()}), Text("aXc"));
  EXPECT_EQ(engine.CallText(L"Replace", {Text("abc"), Text("X"), Text("extra")}), Text());
}

TEST_F(ComObjectTest, FailuresGiveEmptyValues) {
  ComObject empty;
  EXPECT_FALSE(empty.WriteProperty(L"Pattern", Text("a")));
  EXPECT_EQ(empty.ReadText(L"Pattern"), Text());
  EXPECT_EQ(empty.ReadNumber(L"Count"), 0.0);
  EXPECT_TRUE(empty.ReadObject(L"Item", {0}).IsEmpty());
  EXPECT_EQ(empty.ReadVariant(L"Pattern").type(), VT_EMPTY);
  EXPECT_EQ(empty.CallText(L"Replace", {Text("a"), Text("b")}), Text());
  EXPECT_TRUE(empty.CallObject(L"Execute", {Text("a")}).IsEmpty());

  ComObject engine;
  ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
  EXPECT_FALSE(engine.WriteProperty(L"Singleline", true));
  EXPECT_FALSE(engine.WriteProperty(L"Pattern", ComArg()));
  EXPECT_EQ(engine.ReadText(L"NoSuchMember"), Text());
  EXPECT_EQ(engine.ReadNumber(L"NoSuchMember"), 0.0);
  EXPECT_TRUE(engine.CallObject(L"NoSuchMember").IsEmpty());
  // A result that is no object gives an empty holder; one that is no number gives 0.
  EXPECT_TRUE(engine.ReadObject(L"Pattern").IsEmpty());
  ASSERT_TRUE(engine.WriteProperty(L"Pattern", Text("x")));
  EXPECT_EQ(engine.ReadNumber(L"Pattern"), 0.0);
}

TEST_F(ComObjectTest, ObjectsAndNumbersComeBack) {
  ComObject engine;
  ASSERT_TRUE(engine.CreateFromProgId(L"VBScript.RegExp"));
  ASSERT_TRUE(engine.WriteProperty(L"Global", true));
  ASSERT_TRUE(engine.WriteProperty(L"Pattern", Text("\\d")));
  const ComObject matches = engine.CallObject(L"Execute", {Text("a1b2c3")});
  ASSERT_FALSE(matches.IsEmpty());
  EXPECT_EQ(matches.ReadNumber(L"Count"), 3.0);
  const ComObject third = matches.ReadObject(L"Item", {2.0});
  EXPECT_EQ(third.ReadText(L"Value"), Text("3"));
  EXPECT_EQ(third.ReadNumber(L"FirstIndex"), 5.0);
  EXPECT_TRUE(matches.ReadObject(L"Item", {3}).IsEmpty());
  // An object passed as an argument: the engine converts it through its default member.
  EXPECT_EQ(engine.CallText(L"Replace", {third, Text("#")}), Text("#"));
}

}  // namespace
