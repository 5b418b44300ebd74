#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "gridloom/gridloom.h"

namespace {

class DatasetHeaderTest : public testing::Test {
 protected:
  void TearDown() override {
    ef_dshdr(header_);
    std::remove(path_.c_str());
    EXPECT_EQ(glm_live_header_count(), 0);
  }

  int load(const std::string& text) {
    std::ofstream(path_, std::ios::binary) << text;
    return eg_dshdr_alg_or_glh(&header_, path_.c_str());
  }

  // ctest runs tests as parallel processes: each gets its own file.
  std::string path_ = testing::TempDir() + "gridloom_header_" + std::to_string(getpid()) + "_" +
                      testing::UnitTest::GetInstance()->current_test_info()->name() + ".json";
  GlmDatasetHeader* header_ = nullptr;
};

TEST_F(DatasetHeaderTest, LoadsEveryFieldInListOrder) {
  ASSERT_EQ(load(R"({"kind": 2, "extent": [80, 120], "bands": 3, "reverse_bands": true,
    "regions": [
      {"kind": 1, "name": "Mosaic Leveler Quad [0,0]",
       "stats": {"lower": [1.0, 2.0, 3.0], "upper": [7, 8, 9], "centre": [4.5, 5.5, 6.5]}},
      {"kind": 3, "name": "other"}]})"),
            GLM_OK);
  ASSERT_NE(header_, nullptr);
  EXPECT_EQ(glm_live_header_count(), 1);
  EXPECT_EQ(header_->kind, 2);
  EXPECT_EQ(header_->extentFirst, 80);
  EXPECT_EQ(header_->extentSecond, 120);
  EXPECT_EQ(header_->bandCount, 3);
  EXPECT_NE(header_->reverseBands, 0);

  const GlmRegionEntry* quad = header_->firstRegion;
  ASSERT_NE(quad, nullptr);
  EXPECT_EQ(quad->kind, 1);
  EXPECT_STREQ(quad->name, "Mosaic Leveler Quad [0,0]");
  ASSERT_NE(quad->statistics, nullptr);
  EXPECT_EQ(quad->statistics->lower[2], 3.0);
  EXPECT_EQ(quad->statistics->upper[0], 7.0);
  EXPECT_EQ(quad->statistics->centre[1], 5.5);

  const GlmRegionEntry* other = quad->next;
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->kind, 3);
  EXPECT_EQ(other->statistics, nullptr);
  EXPECT_EQ(other->next, nullptr);
}

TEST_F(DatasetHeaderTest, AbsentNullOrShortArraysAreNull) {
  ASSERT_EQ(load(R"({"kind": 2, "extent": [5, 5], "bands": 2, "regions": [
      {"kind": 1, "name": "a", "stats": {"lower": null, "upper": [1.0], "centre": [1, 2, 3]}},
      {"kind": 1, "name": "b", "stats": null}]})"),
            GLM_OK);
  const GlmStatistics* stats = header_->firstRegion->statistics;
  ASSERT_NE(stats, nullptr);
  EXPECT_EQ(stats->lower, nullptr);
  EXPECT_EQ(stats->upper, nullptr);
  ASSERT_NE(stats->centre, nullptr);
  EXPECT_EQ(stats->centre[2], 3.0);
  EXPECT_EQ(header_->firstRegion->next->statistics, nullptr);
  EXPECT_EQ(header_->reverseBands, 0);
}

TEST_F(DatasetHeaderTest, MalformedFilesAreFormatErrors) {
  const char* malformed[] = {
      "",
      "[1, 2]",
      R"({"kind": 2, "extent": [5, 5], "bands": 1)",
      R"({"extent": [5, 5], "bands": 1})",
      R"({"kind": 2, "extent": [5], "bands": 1})",
      R"({"kind": 2, "extent": [0, 5], "bands": 1})",
      R"({"kind": 2, "extent": [5, 5.5], "bands": 1})",
      R"({"kind": 2, "extent": [5, 5], "bands": 0})",
      R"({"kind": 2, "extent": [5, 5], "bands": 4294967297})",
      R"({"kind": "2", "extent": [5, 5], "bands": 1})",
      R"({"kind": 2, "extent": [5, 5], "bands": 1, "reverse_bands": "yes"})",
      R"({"kind": 2, "extent": [5, 5], "bands": 1, "regions": {}})",
      R"({"kind": 2, "extent": [5, 5], "bands": 1, "regions": [{"kind": 1}]})",
      R"({"kind": 2, "extent": [5, 5], "bands": 1, "regions": [{"kind": 1, "name": 7}]})",
      R"({"kind": 2, "extent": [5, 5], "bands": 1,
          "regions": [{"kind": 1, "name": "q", "stats": {"lower": [1.0, "x"]}}]})",
      R"({"kind": 2, "extent": [5, 5], "bands": 1,
          "regions": [{"kind": 1, "name": "q", "stats": {"lower": [1.0]}}, 5]})",
  };
  for (const char* text : malformed) {
    EXPECT_EQ(load(text), GLM_ERROR_FORMAT) << text;
    EXPECT_EQ(header_, nullptr) << text;
    EXPECT_EQ(glm_live_header_count(), 0) << text;
  }
}

TEST_F(DatasetHeaderTest, UnreadableFilesAndBadArgumentsStoreNothing) {
  EXPECT_EQ(eg_dshdr_alg_or_glh(&header_, (path_ + ".missing").c_str()), GLM_ERROR_READ);
  EXPECT_EQ(eg_dshdr_alg_or_glh(&header_, ""), GLM_ERROR_ARGUMENT);
  EXPECT_EQ(eg_dshdr_alg_or_glh(&header_, nullptr), GLM_ERROR_ARGUMENT);
  EXPECT_EQ(header_, nullptr);
}

}  // namespace
