#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "quad_header.h"

namespace {

bool filled(const balance_state& state, int i, int j) {
  return state.high[gridCell(i + 1, j + 1)] != 0;
}

TEST(QuadWindowTest, TheNearerBoundIsWidenedToHalfTheSpread) {
  QuadHeader header(50, 50);
  header.quad(0, 0, {{10}, {100}, {80}});  // du = 20 < dl = 70: low stays, high = 80 + 45
  header.quad(1, 2, {{0}, {100}, {10}});   // dl = 10 < du = 90: low = 10 - 50, high stays
  header.quad(3, 3, {{4}, {8}, {6}});      // centred: both bounds stay
  const Layer layer(header.get());
  const StatePtr state = initLayer(layer);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->low[gridCell(1, 1)], 10);
  EXPECT_EQ(state->high[gridCell(1, 1)], 125);
  EXPECT_EQ(state->low[gridCell(2, 3)], -40);
  EXPECT_EQ(state->high[gridCell(2, 3)], 100);
  EXPECT_EQ(state->low[gridCell(4, 4)], 4);
  EXPECT_EQ(state->high[gridCell(4, 4)], 8);
  EXPECT_EQ(state->max_range, 140);
  EXPECT_EQ(state->pass_through, 0);
  EXPECT_EQ(state->size_first, 50);
  EXPECT_EQ(state->step_second, 0.1);
  EXPECT_EQ(state->descriptor, &layer.descriptor);
}

TEST(QuadWindowTest, MissingArraysGiveTheFixedWindowWithoutRaisingMaxRange) {
  QuadHeader header(50, 50);
  header.quad(0, 0, {{1}, {}, {2}});
  const Layer onlyMissing(header.get());
  const StatePtr passing = initLayer(onlyMissing);
  EXPECT_EQ(passing->low[gridCell(1, 1)], 0);
  EXPECT_EQ(passing->high[gridCell(1, 1)], 255);
  EXPECT_EQ(passing->max_range, 0);
  EXPECT_EQ(passing->pass_through, 1);
  EXPECT_EQ(balance(7, 5, 5, 0, passing.get()), 7);

  header.window(4, 4, 10, 30);
  const Layer withQuad(header.get());
  const StatePtr stretching = initLayer(withQuad);
  EXPECT_EQ(stretching->max_range, 20);
  EXPECT_EQ(stretching->pass_through, 0);
}

TEST(QuadNameTest, OnlyTheFirstFifteenCharactersAreCompared) {
  const struct {
    const char* name;
    bool read;
  } cases[] = {
      {"Mosaic Leveler Quad [0,0]", true},   {"Mosaic Leveler Tile [0,1]", true},
      {"Mosaic Leveler Quad [0, 2]", true},  {"Mosaic Leveler Quad [0,3", true},
      {"Mosaic leveler Quad [1,0]", false},  {"Mosaic Levele_ Quad [1,1]", false},
      {"Mosaic Leveler Quad  [1,2]", false}, {"Mosaic Leveler Quad", false},
      {"Mosaic Leveler Quad [5,0]", false},  {"Mosaic Leveler Quad [1,-1]", false},
      {"Mosaic Leveler Quad [1;3]", false},  {"Mosaic Leveler Quad [9999999999,4]", false},
  };
  for (const auto& c : cases) {
    QuadHeader header(50, 50);
    const BandStatistics stats{{1}, {9}, {5}};
    header.window(4, 4, 0, 1).region(GLM_REGION_KIND_STATISTICS, c.name, &stats);
    const Layer layer(header.get());
    const StatePtr state = initLayer(layer);
    int cellsFilled = 0;
    for (int i = 0; i < 5; ++i) {
      for (int j = 0; j < 5; ++j) cellsFilled += filled(*state, i, j);
    }
    EXPECT_EQ(cellsFilled, c.read ? 2 : 1) << c.name;
  }
}

TEST(QuadNameTest, SkipsOtherKindsAndMissingStatisticsAndLaterEntriesWin) {
  QuadHeader header(50, 50);
  const BandStatistics stats{{1}, {9}, {5}};
  header.region(2, quadName(0, 0), &stats);
  header.region(GLM_REGION_KIND_STATISTICS, quadName(0, 1), nullptr);
  header.window(2, 2, 1, 2).window(2, 2, 3, 7);
  const Layer layer(header.get());
  const StatePtr state = initLayer(layer);
  EXPECT_FALSE(filled(*state, 0, 0));
  EXPECT_FALSE(filled(*state, 0, 1));
  EXPECT_EQ(state->low[gridCell(3, 3)], 3);
  EXPECT_EQ(state->high[gridCell(3, 3)], 7);
  EXPECT_EQ(state->max_range, 4);
}

TEST(BandSelectionTest, OneBasedNumbersWithReverseOrder) {
  const struct {
    const char* text;
    bool reverse;
    int band;
  } cases[] = {
      {"2", false, 1},  {"2", true, 3},    {"9", false, 0},   {"9", true, 0},
      {"5", true, 0},   {"1", true, 4},    {"0", false, 0},   {"-3", false, 0},
      {" 4", false, 3}, {"3rd", false, 2}, {"abc", false, 0}, {nullptr, true, 4},
  };
  for (const auto& c : cases) {
    QuadHeader header(50, 50, 5);
    // Band b's quad (0, 0) spans [b, b + 10 (b + 1)], so the cell shows the band used.
    header.quad(0, 0, {{0, 1, 2, 3, 4}, {10, 21, 32, 43, 54}, {5, 11, 17, 23, 29}});
    if (c.reverse) header.reverseBands();
    const Layer layer(header.get(), c.text);
    const StatePtr state = initLayer(layer);
    const char* text = c.text ? c.text : "(null)";
    EXPECT_EQ(state->band, c.band) << text << (c.reverse ? " reversed" : "");
    EXPECT_EQ(state->low[gridCell(1, 1)], c.band) << text;
    EXPECT_EQ(state->high[gridCell(1, 1)], c.band + 10 * (c.band + 1)) << text;
  }
}

TEST(BandSelectionTest, AMissingSelectionRecordSelectsTheFirstBand) {
  QuadHeader header(50, 50, 2);
  header.quad(0, 0, {{0, 1}, {10, 21}, {5, 11}});
  Layer layer(header.get());
  layer.descriptor.bandSelection = nullptr;
  EXPECT_EQ(initLayer(layer)->band, 0);
}

TEST(ExtrapolationTest, BordersContinueTheTwoNearestCellsAndNeverClose) {
  QuadHeader header(50, 50);
  // Windows [0, 10 + 20 i]: constant along rows, widening down the columns.
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) header.window(i, j, 0, 10 + 20 * i);
  }
  const Layer layer(header.get());
  const StatePtr state = initLayer(layer);
  for (int p = 1; p <= 5; ++p) {
    // Row 0 would get 2 * 10 - 30 = -10 <= low 0: half of the near window instead.
    EXPECT_EQ(state->high[gridCell(0, p)], 5) << p;
    EXPECT_EQ(state->high[gridCell(6, p)], 2 * 90 - 70) << p;
    EXPECT_EQ(state->high[gridCell(p, 0)], 10 + 20 * (p - 1)) << p;
    EXPECT_EQ(state->high[gridCell(p, 6)], 10 + 20 * (p - 1)) << p;
    EXPECT_EQ(state->low[gridCell(0, p)], 0) << p;
  }
  EXPECT_EQ(state->high[gridCell(0, 0)], 5);
  EXPECT_EQ(state->high[gridCell(0, 6)], 5);
  EXPECT_EQ(state->high[gridCell(6, 0)], 110);
  EXPECT_EQ(state->high[gridCell(6, 6)], 110);
}

TEST(ExtrapolationTest, CornersFollowTheDiagonals) {
  QuadHeader header(50, 50);
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) header.window(i, j, i * j, 100 + i + 10 * j);
  }
  const StatePtr state = initLayer(Layer(header.get()));
  // (0, 0) from (1, 1) and (2, 2); (6, 0) from (5, 1) and (4, 2); and so on.
  EXPECT_EQ(state->low[gridCell(0, 0)], 2 * 0 - 1);
  EXPECT_EQ(state->low[gridCell(6, 0)], 2 * 0 - 3 * 1);
  EXPECT_EQ(state->low[gridCell(0, 6)], 2 * 0 - 1 * 3);
  EXPECT_EQ(state->low[gridCell(6, 6)], 2 * 16 - 9);
  EXPECT_EQ(state->high[gridCell(6, 6)], 2 * 144 - 133);
}

class InitFailureTest : public testing::Test {
 protected:
  void TearDown() override {
    std::remove(path_.c_str());
    EXPECT_EQ(glm_live_header_count(), 0);
  }

  void writeHeader(const std::string& text) { std::ofstream(path_) << text; }

  // The state init leaves for a layer read from path_, checked to pass values through.
  void expectPassThrough(const Layer& layer) {
    const StatePtr state = initLayer(layer);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(state->pass_through, 1);
    EXPECT_EQ(balance(12.5, 8, 8, 0, state.get()), 12.5);
  }

  // ctest runs tests as parallel processes: each gets its own file.
  std::string path_ = testing::TempDir() + "balance_init_" + std::to_string(getpid()) + "_" +
                      testing::UnitTest::GetInstance()->current_test_info()->name() + ".json";
};

TEST_F(InitFailureTest, DisabledOrWithoutDescriptorStoresNothing) {
  QuadHeader header(80, 80);
  header.window(0, 0, 0, 10);
  const Layer layer(header.get());
  balance_state* untouched = reinterpret_cast<balance_state*>(&header);
  balance_state* slot = untouched;
  balance_init(0, 0, 0, 0, 0, 0, 0, &layer.descriptor, &slot);
  EXPECT_EQ(slot, untouched);
  balance_init(0, 0, 0, 0, 0, 0, 1, nullptr, &slot);
  EXPECT_EQ(slot, untouched);
}

TEST_F(InitFailureTest, UnusableHeadersLeaveAPassingState) {
  QuadHeader wrongKind(80, 80);
  wrongKind.window(0, 0, 0, 10).kind(3);
  expectPassThrough(Layer(wrongKind.get()));

  QuadHeader noQuads(80, 80);
  expectPassThrough(Layer(noQuads.get()));

  expectPassThrough(Layer(nullptr, nullptr, nullptr));        // no file specification
  expectPassThrough(Layer(nullptr, nullptr, path_.c_str()));  // no file
  writeHeader(R"({"kind": 2, "extent": [80, 80], "bands": 1, "regions": [)");
  expectPassThrough(Layer(nullptr, nullptr, path_.c_str()));
  writeHeader(R"({"kind": 1, "extent": [80, 80], "bands": 1, "regions": [
    {"kind": 1, "name": "Mosaic Leveler Quad [0,0]",
     "stats": {"lower": [0], "upper": [10], "centre": [5]}}]})");
  expectPassThrough(Layer(nullptr, nullptr, path_.c_str()));
}

TEST_F(InitFailureTest, AHeaderLoadedByInitIsReleasedAndAPreloadedOneIsNot) {
  writeHeader(R"({"kind": 2, "extent": [80, 80], "bands": 1, "regions": [
    {"kind": 1, "name": "Mosaic Leveler Quad [0,0]",
     "stats": {"lower": [0], "upper": [10], "centre": [5]}}]})");
  {
    const StatePtr state = initLayer(Layer(nullptr, nullptr, path_.c_str()));
    EXPECT_EQ(glm_live_header_count(), 0);
    EXPECT_EQ(state->pass_through, 0);
    EXPECT_EQ(balance(10, 8, 8, 0, state.get()), 192);
  }
  GlmDatasetHeader* preloaded = nullptr;
  ASSERT_EQ(eg_dshdr_alg_or_glh(&preloaded, path_.c_str()), GLM_OK);
  {
    const StatePtr state = initLayer(Layer(preloaded));
    EXPECT_EQ(glm_live_header_count(), 1);
    EXPECT_EQ(state->pass_through, 0);
  }
  ef_dshdr(preloaded);
}

}  // namespace
