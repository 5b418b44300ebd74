#include "automation/object.h"

#include <gtest/gtest.h>

#include "automation/registry.h"

namespace automation {
namespace {

class Counter : public Dispatch {
 public:
  const TypeInfo& typeInfo() const override {
    static const TypeInfo info =
        MemberTable<Counter>(u"_Counter", u"{00000000-0000-0000-0000-000000000001}")
            .field(u"strName", &Counter::strName)
            .field(u"nCount", &Counter::nCount)
            .function(u"Add", {byRef(u"nValue"), optionalByVal(u"nTimes")},
                      [](Counter& c, Args a) {
                        int times = a[1].isMissing() ? 1 : toInt32(a[1]);
                        c.nCount = Int16::checked(c.nCount.value() + toInt16(a[0]) * times);
                        a[0] = Variant(u"consumed");
                        return Variant(c.nCount);
                      })
            .sub(u"Touch", {byVal(u"v")}, [](Counter&, Args a) { a[0] = Variant(1); })
            .property(
                u"Item", {byVal(u"key")},
                [](Counter& c, Args a) { return Variant(c.strName + toText(a[0])); },
                [](Counter& c, Args a, const Variant& v) { c.strName = toText(a[0]) + toText(v); })
            .asDefault()
            .build();
    return info;
  }
  Text strName;
  Int16 nCount;
};

TEST(Dispatch, InvokesMembersByNameWithoutRegardToCase) {
  Counter c;
  std::vector<Variant> args{Variant(3)};
  EXPECT_EQ(toInt32(c.invoke(u"add", InvokeKind::Method, Args(args))), 3);
  EXPECT_EQ(toText(args[0]), u"consumed");  // by reference: written back
  std::vector<Variant> touch{Variant(5)};
  c.invoke(u"TOUCH", InvokeKind::Method, Args(touch));
  EXPECT_EQ(toInt32(touch[0]), 5);  // by value: the caller's variant stays
}

TEST(Dispatch, FillsOptionalArgumentsAndChecksTheCount) {
  Counter c;
  EXPECT_EQ(toInt32(c.invoke(u"Add", InvokeKind::Method, {Variant(2), Variant(3)})), 6);
  try {
    c.invoke(u"Add", InvokeKind::Method);
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.code(), hr::kBadParamCount);
  }
  try {
    c.invoke(u"NoSuch", InvokeKind::Method);
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.code(), hr::kUnknownName);
  }
}

TEST(Dispatch, FieldsConvertOnAssignmentAndDefaultMemberAnswersEmptyName) {
  Counter c;
  c.invoke(u"nCount", InvokeKind::PropertyPut, {Variant(u"41.5")});
  EXPECT_EQ(c.nCount.value(), 42);
  EXPECT_THROW(c.invoke(u"nCount", InvokeKind::PropertyPut, {Variant(u"x")}), AutomationError);
  c.invoke(u"", InvokeKind::PropertyPut, {Variant(u"k"), Variant(u"v")});
  EXPECT_EQ(c.strName, u"kv");
  EXPECT_EQ(toText(c.invoke(u"", InvokeKind::PropertyGet, {Variant(u"!")})), u"kv!");
  // An object converts through its default member.
  auto ref = std::make_shared<Counter>();
  ref->strName = u"a";
  EXPECT_THROW(toText(Variant(ObjectRef(ref))), AutomationError);  // Item needs its key
}

TEST(Ordinal, NamesItemsByNumberFromEitherBase) {
  EXPECT_EQ(ordinal(Variant(1), 3), 0u);
  EXPECT_EQ(ordinal(Variant(2.0), 3, 0), 2u);
  EXPECT_FALSE(ordinal(Variant(u"1"), 3));  // a text is a key, not a number
  EXPECT_THROW(ordinal(Variant(0), 3), AutomationError);
  EXPECT_THROW(ordinal(Variant(3), 3, 0), AutomationError);
}

TEST(ClassRegistry, CreatesByProgIdOrClsid) {
  ClassRegistry r;
  r.add({u"test.Counter", u"{00000000-0000-0000-0000-0000000000AA}", u"_Counter", u"",
         [] { return std::make_shared<Counter>(); }});
  EXPECT_NE(r.create(u"Test.counter"), nullptr);
  EXPECT_NE(r.create(u"{00000000-0000-0000-0000-0000000000aa}"), nullptr);
  try {
    r.create(u"test.Nothing");
    FAIL();
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.code(), static_cast<HRESULT>(0x800401F3));
    EXPECT_EQ(e.description(), u"Invalid class string");
  }
}

}  // namespace
}  // namespace automation
