#include "quad_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

TEST(QuadBoundsTest, EachCellGoesToTheQuadOfItsCentre) {
  for (int extent : {1, 3, 5, 7, 80, 81, 999}) {
    const auto bounds = quadBounds(extent);
    EXPECT_EQ(bounds.front(), 0);
    EXPECT_EQ(bounds.back(), extent);
    for (int cell = 0; cell < extent; ++cell) {
      const int quad = static_cast<int>(std::floor(5 * (cell + 0.5) / extent));
      EXPECT_GE(cell, bounds[quad]) << extent << " " << cell;
      EXPECT_LT(cell, bounds[quad + 1]) << extent << " " << cell;
    }
  }
}

TEST(SummariseTest, InterpolatesBetweenOrderStatistics) {
  // 0..100 shuffled: rank p (n - 1) is the value itself.
  std::vector<double> values;
  for (int v = 100; v >= 0; --v) values.push_back((v * 37) % 101);
  const auto stats = summarise(values);
  ASSERT_TRUE(stats);
  EXPECT_DOUBLE_EQ(stats->lower, 2);
  EXPECT_DOUBLE_EQ(stats->centre, 50);
  EXPECT_DOUBLE_EQ(stats->upper, 98);

  // Sorted 1, 2, 4, 8: the median lies half-way between 2 and 4; 0.02 * 3 = 0.06 above 1.
  std::vector<double> few = {8, 2, 4, 1};
  const auto small = summarise(few);
  EXPECT_DOUBLE_EQ(small->centre, 3);
  EXPECT_DOUBLE_EQ(small->lower, 1 + 0.06 * (2 - 1));
  EXPECT_DOUBLE_EQ(small->upper, 4 + 0.94 * (8 - 4));

  std::vector<double> none;
  EXPECT_FALSE(summarise(none));
}

}  // namespace
