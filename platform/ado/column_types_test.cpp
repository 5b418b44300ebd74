#include "ado/column_types.h"

#include <gtest/gtest.h>

namespace ado {
namespace {

TEST(ColumnTypes, DeclaredNamesGiveAdoNumbers) {
  struct Case {
    const char* declared;
    std::int32_t type;
  };
  const Case cases[] = {
      {"int", 3},
      {"INTEGER", 3},
      {"int identity", 3},
      {"smallint", 2},
      {"tinyint", 17},
      {"bit", 11},
      {"bigint", 20},
      {"real", 4},
      {"float", 5},
      {"decimal(10,2)", 131},
      {"numeric", 131},
      {"money", 6},
      {"datetime", 135},
      {"smalldatetime", 135},
      {"date", 133},
      {"char(4)", 129},
      {"varchar(50)", 200},
      {"text", 201},
      {"nchar(2)", 130},
      {"nvarchar(20)", 202},
      {"ntext", 203},
      {"binary(8)", 128},
      {"varbinary(16)", 204},
      {"uniqueidentifier", 72},
      {"unsigned big int", 3},
      {"clob", 200},
      {"double precision", 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(adoTypeFromDeclared(c.declared), c.type) << c.declared;
  }
  EXPECT_FALSE(adoTypeFromDeclared(""));
  EXPECT_TRUE(isDateType(135));
  EXPECT_TRUE(isDateType(133));
  EXPECT_FALSE(isDateType(200));
}

}  // namespace
}  // namespace ado
