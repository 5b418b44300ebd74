#include <gtest/gtest.h>

#include "automation/error.h"
#include "frame/sql_literal.h"

namespace frame {
namespace {

using automation::Text;
using automation::Variant;

template <class Action>
automation::HRESULT errorOf(Action&& action) {
  try {
    action();
  } catch (const automation::AutomationError& e) {
    return e.code();
  }
  return 0;
}

TEST(SqlLiteralTest, PlainIntegersPassUnchanged) {
  for (const Text s : {u"7", u" 7 ", u"-12", u"+3", u"007", u"  -0"}) {
    EXPECT_EQ(integerLiteral(Variant(s)), s);
  }
  EXPECT_EQ(integerLiteral(Variant(42)), u"42");
  EXPECT_EQ(integerLiteral(Variant(std::int16_t{-5})), u"-5");
}

TEST(SqlLiteralTest, EverythingElseIsATypeMismatch) {
  for (const Text s : {u"", u"  ", u"-", u"+", u"1 2", u"- 1", u"7 or 1=1", u"7;", u"1)", u"1.5",
                       u"1e3", u"0x1F", u"\t7", u"７"}) {
    EXPECT_EQ(errorOf([&] { integerLiteral(Variant(s)); }), automation::hr::kTypeMismatch)
        << automation::toUtf8(s);
  }
  EXPECT_EQ(errorOf([] { integerLiteral(Variant()); }), automation::hr::kTypeMismatch);
  EXPECT_EQ(errorOf([] { integerLiteral(Variant::null()); }), automation::hr::kTypeMismatch);
  EXPECT_EQ(errorOf([] { integerLiteral(Variant(7.5)); }), automation::hr::kTypeMismatch);
}

TEST(SqlLiteralTest, ApostrophesAreDoubled) {
  EXPECT_EQ(doubleApostrophes(u"O'Brien's"), u"O''Brien''s");
  EXPECT_EQ(doubleApostrophes(u"Tom`s"), u"Tom`s");
}

}  // namespace
}  // namespace frame
