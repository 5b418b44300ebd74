#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "quad_header.h"

namespace {

constexpr double kExtent = 80;  // 16 cells per quad

// Quad windows linear in the quad indices: the extrapolated border continues the same plane and
// bilinear interpolation reproduces it, so the window at any grid coordinate is known in closed
// form. Grid coordinate g = 5 * position / extent + 0.5 for cell row or column g.
double planeLow(double row, double column) { return 10 + (row - 1) + 2 * (column - 1); }
double planeHigh(double row, double column) { return 50 + 3 * (row - 1) + (column - 1); }
double gridCoordinate(double position) { return 5 * position / kExtent + 0.5; }

double expectedOnPlane(double value, double first, double second) {
  const double u = std::clamp(gridCoordinate(first), 0.0, 6.0);
  const double v = std::clamp(gridCoordinate(second), 0.0, 6.0);
  const double low = planeLow(u, v);
  return (value - low) * (192 / (planeHigh(u, v) - low));
}

class PlaneBalanceTest : public testing::Test {
 protected:
  PlaneBalanceTest() : header_(kExtent, kExtent) {
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j)
        header_.window(i, j, planeLow(i + 1, j + 1), planeHigh(i + 1, j + 1));
    }
    state_ = initLayer(layer_);
  }

  double stretch(double value, double first, double second) const {
    return balance(value, second, first, 0, state_.get());
  }

  QuadHeader header_;
  Layer layer_{header_.get()};
  StatePtr state_;
};

TEST_F(PlaneBalanceTest, QuadCentreMapsItsLowToZeroAndItsHighTo192) {
  ASSERT_NE(state_, nullptr);
  // Positions 8, 8 at 80 x 80 give u = v = 1 exactly: quad (0, 0) alone.
  EXPECT_EQ(stretch(10, 8, 8), 0.0);
  EXPECT_EQ(stretch(50, 8, 8), 192.0);
  // Quad (2, 3): low 18, high 59; the first axis is the row.
  EXPECT_DOUBLE_EQ(stretch(18, 40, 56), 0.0);
  EXPECT_DOUBLE_EQ(stretch(59, 40, 56), 192.0);
}

TEST_F(PlaneBalanceTest, OriginAveragesTheFourCornerCells) {
  // Cells (0,0), (1,0), (0,1), (1,1): lows 7, 8, 9, 10 and highs 46, 49, 47, 50.
  const double low = (7 + 8 + 9 + 10) / 4.0;
  const double high = (46 + 49 + 47 + 50) / 4.0;
  EXPECT_DOUBLE_EQ(stretch(20, 0, 0), (20 - low) * (192 / (high - low)));
}

TEST_F(PlaneBalanceTest, InterpolatesBilinearlyBetweenCells) {
  const double positions[][2] = {{0.5, 0.5},   {13, 27}, {39.5, 40.5}, {71.25, 3},
                                 {79.5, 79.5}, {-4, 60}, {86, 1}};
  for (const auto& p : positions) {
    EXPECT_NEAR(stretch(33, p[0], p[1]), expectedOnPlane(33, p[0], p[1]), 1e-9)
        << p[0] << ", " << p[1];
  }
}

TEST_F(PlaneBalanceTest, PositionsBeyondTheGridHoldTheBorderCells) {
  const double inf = std::numeric_limits<double>::infinity();
  // From 1.1 x the extent on (u >= 6) the window is row 6's; far below 0 (u < 0) row 0's.
  for (double first : {88.0, 88.5, 200.0, 1e12, inf}) {
    EXPECT_NEAR(stretch(33, first, 8), (33 - 15) * (192.0 / (65 - 15)), 1e-9) << first;
  }
  for (double first : {-9.0, -50.0, -1e12, -inf}) {
    EXPECT_NEAR(stretch(33, first, 8), (33 - 9) * (192.0 / (47 - 9)), 1e-9) << first;
  }
  // Corner cell (6, 0): low 13, high 64.
  EXPECT_NEAR(stretch(33, 1e9, -1e9), (33 - 13) * (192.0 / (64 - 13)), 1e-9);
}

TEST(BalanceTest, WindowsThatAreNotPositiveReturnTheValue) {
  QuadHeader header(kExtent, kExtent);
  header.window(4, 4, 0, 100);
  // Lower above upper: a negative window at quad (0, 4).
  header.quad(0, 4, {{100}, {0}, {50}});
  const Layer layer(header.get());
  const StatePtr state = initLayer(layer);
  ASSERT_NE(state, nullptr);
  ASSERT_EQ(state->pass_through, 0);
  // Quad (0, 0) was never filled: low = high = 0 there.
  EXPECT_EQ(balance(42.5, 8, 8, 0, state.get()), 42.5);
  EXPECT_EQ(balance(42.5, 72, 8, 0, state.get()), 42.5);
  EXPECT_DOUBLE_EQ(balance(50, 72, 72, 0, state.get()), 96.0);
}

TEST(BalanceTest, NonSquareExtentsUseOneStepPerAxis) {
  QuadHeader header(40, 160);  // quads of 8 rows by 32 columns
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) header.window(i, j, i * 10 + j, i * 10 + j + 5);
  }
  const Layer layer(header.get());
  const StatePtr state = initLayer(layer);
  // Centre of quad (1, 3): row 12, column 112; window 13 to 18.
  EXPECT_DOUBLE_EQ(balance(13, 112, 12, 0, state.get()), 0.0);
  EXPECT_DOUBLE_EQ(balance(18, 112, 12, 0, state.get()), 192.0);
}

TEST(BalanceTest, NullStateReturnsTheValue) {
  EXPECT_EQ(balance(-3.25, 1, 2, 0, nullptr), -3.25);
  EXPECT_EQ(balance_mtsafe(), 1);
}

}  // namespace
