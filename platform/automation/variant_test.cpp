#include "automation/variant.h"

#include <gtest/gtest.h>

#include "automation/error.h"

namespace automation {
namespace {

HRESULT errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return e.code();
  }
  return 0;
}

TEST(VariantToInt16, RoundsHalvesToEven) {
  EXPECT_EQ(toInt16(Variant(0.5)), 0);
  EXPECT_EQ(toInt16(Variant(-0.5)), 0);
  EXPECT_EQ(toInt16(Variant(1.5)), 2);
  EXPECT_EQ(toInt16(Variant(-1.5)), -2);
  EXPECT_EQ(toInt16(Variant(2.5)), 2);
  EXPECT_EQ(toInt16(Variant(-2.5)), -2);
  EXPECT_EQ(toInt16(Variant(u"2.5")), 2);
  EXPECT_EQ(toInt16(Variant(u" 3.5 ")), 4);
  EXPECT_EQ(toInt16(Variant(u"-32768.5")), -32768);
  EXPECT_EQ(toInt16(Variant(u"1e2")), 100);
  EXPECT_EQ(toInt16(Variant()), 0);
  EXPECT_EQ(toInt16(Variant(true)), -1);
}

TEST(VariantToInt16, FailsOutsideRangeAndOnNonNumbers) {
  EXPECT_EQ(toInt16(Variant(u"32767")), 32767);
  EXPECT_EQ(toInt16(Variant(u"-32768")), -32768);
  EXPECT_EQ(errorOf([] { toInt16(Variant(u"32767.5")); }), hr::kOverflow);
  EXPECT_EQ(errorOf([] { toInt16(Variant(32768)); }), hr::kOverflow);
  EXPECT_EQ(errorOf([] { toInt16(Variant(u"-32769")); }), hr::kOverflow);
  EXPECT_EQ(errorOf([] { toInt16(Variant(u"abc")); }), hr::kTypeMismatch);
  EXPECT_EQ(errorOf([] { toInt16(Variant(u"")); }), hr::kTypeMismatch);
  EXPECT_EQ(errorOf([] { toInt16(Variant(u"   ")); }), hr::kTypeMismatch);
  EXPECT_EQ(errorOf([] { toInt16(Variant(u"7 or 1=1")); }), hr::kTypeMismatch);
  EXPECT_EQ(errorOf([] { toInt16(Variant::null()); }), hr::kInvalidUseOfNull);
}

TEST(Int16Arithmetic, OverflowsAtTheBounds) {
  Int16 max(32767), min(-32768);
  EXPECT_EQ((max - Int16(1)).value(), 32766);
  EXPECT_EQ(errorOf([&] { (void)(max + Int16(1)); }), hr::kOverflow);
  EXPECT_EQ(errorOf([&] { (void)(min - Int16(1)); }), hr::kOverflow);
  EXPECT_EQ(errorOf([&] { (void)(Int16(200) * Int16(200)); }), hr::kOverflow);
}

TEST(VariantToText, WritesNumbersAsTheRuntimeDoes) {
  EXPECT_EQ(toText(Variant(std::int16_t{-7})), u"-7");
  EXPECT_EQ(toText(Variant(123456)), u"123456");
  EXPECT_EQ(toText(Variant(0.1)), u"0.1");
  EXPECT_EQ(toText(Variant(1.0 / 3)), u"0.333333333333333");
  EXPECT_EQ(toText(Variant(2.0 / 3)), u"0.666666666666667");
  EXPECT_EQ(toText(Variant(123456789012345.0)), u"123456789012345");
  EXPECT_EQ(toText(Variant(1e15)), u"1E+15");
  EXPECT_EQ(toText(Variant(1234567890123456789.0)), u"1.23456789012346E+18");
  EXPECT_EQ(toText(Variant(0.0001)), u"0.0001");
  EXPECT_EQ(toText(Variant(0.00001)), u"1E-05");
  EXPECT_EQ(toText(Variant(-2.5e-7)), u"-2.5E-07");
  EXPECT_EQ(toText(Variant(1.0f / 3)), u"0.3333333");
  EXPECT_EQ(toText(Variant(true)), u"True");
  EXPECT_EQ(toText(Variant(false)), u"False");
  EXPECT_EQ(toText(Variant()), u"");
}

TEST(VariantToText, NullFailsButJoinsAsEmpty) {
  EXPECT_EQ(errorOf([] { toText(Variant::null()); }), hr::kInvalidUseOfNull);
  EXPECT_EQ(joinText(Variant::null()), u"");
  EXPECT_EQ(joinText(Variant()), u"");
  EXPECT_EQ(joinText(Variant(Date::fromParts(2001, 5, 7))), u"2001-05-07");
}

TEST(VariantEquality, FollowsTheRuntimeRules) {
  // numbers numerically
  EXPECT_TRUE(equals(Variant(std::int16_t{5}), Variant(5.0)));
  EXPECT_FALSE(equals(Variant(5), Variant(6)));
  // texts exactly
  EXPECT_TRUE(equals(Variant(u"abc"), Variant(u"abc")));
  EXPECT_FALSE(equals(Variant(u"abc"), Variant(u"ABC")));
  // empty as 0 or ""
  EXPECT_TRUE(equals(Variant(), Variant(0)));
  EXPECT_TRUE(equals(Variant(0), Variant()));
  EXPECT_TRUE(equals(Variant(), Variant(u"")));
  EXPECT_FALSE(equals(Variant(), Variant(u"0")));
  EXPECT_TRUE(equals(Variant(), Variant()));
  // a number never equals a text
  EXPECT_FALSE(equals(Variant(5), Variant(u"5")));
  EXPECT_TRUE(differs(Variant(5), Variant(u"5")));
  // null equals nothing, and is not different from "" either
  EXPECT_FALSE(equals(Variant::null(), Variant::null()));
  EXPECT_FALSE(equals(Variant::null(), Variant(u"")));
  EXPECT_FALSE(differs(Variant::null(), Variant(u"")));
  EXPECT_FALSE(differs(Variant(u""), Variant::null()));
  EXPECT_TRUE(differs(Variant(u"x"), Variant(u"")));
  EXPECT_FALSE(differs(Variant(), Variant(u"")));
}

TEST(VariantConversions, ParseDatesAndNumbers) {
  EXPECT_EQ(toDate(Variant(u"2001-5-7")), Date::fromParts(2001, 5, 7));
  EXPECT_EQ(toDate(Variant(u"2001/05/07 9:30")), Date::fromParts(2001, 5, 7, 9, 30));
  EXPECT_EQ(errorOf([] { toDate(Variant(u"someday")); }), hr::kTypeMismatch);
  EXPECT_DOUBLE_EQ(toDouble(Variant(u"-1.25e1")), -12.5);
  EXPECT_FALSE(parseNumber(u"1.2.3"));
  EXPECT_FALSE(parseNumber(u"."));
  EXPECT_EQ(toInt32(Variant(u"70000")), 70000);
  EXPECT_TRUE(toBool(Variant(u"true")));
}

TEST(Variant, ArraysOfSeveralDimensionsKeepTheirShape) {
  Variant grid(
      Variant::Array{Variant(1), Variant(2), Variant(3), Variant(4), Variant(5), Variant(6)},
      {{0, 2}, {1, 3}});
  EXPECT_EQ(grid.type(), VarType::VariantArray);
  EXPECT_EQ(grid.arrayBounds(), (std::vector<ArrayBound>{{0, 2}, {1, 3}}));
  EXPECT_EQ(grid.arrayBounds()[1].upper(), 3);
  EXPECT_EQ(toInt32(grid.array()[3]), 4);  // (1, 2): the first index varies fastest
  EXPECT_EQ(Variant(Variant::Array{Variant(1)}).arrayBounds(), (std::vector<ArrayBound>{{0, 1}}));
  EXPECT_EQ(errorOf([] {
              Variant(Variant::Array{Variant(1)}, {{0, 2}, {0, 2}});
            }),
            hr::kSubscriptOutOfRange);
  EXPECT_EQ(errorOf([] { Variant(Variant::Array{}, {}); }), hr::kSubscriptOutOfRange);
  EXPECT_THROW(toText(grid), AutomationError);
}

TEST(VariantArrays, NestedAMillionDeepAreReleasedWithoutRecursion) {
  Variant v;
  for (int i = 0; i < 1000000; ++i) v = Variant(Variant::Array{std::move(v)});
  v = Variant();
  EXPECT_TRUE(v.isEmpty());
}

}  // namespace
}  // namespace automation
