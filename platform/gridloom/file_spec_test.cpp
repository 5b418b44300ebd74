#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "gridloom/gridloom.h"

namespace {

std::string buildSpec(const char* name) {
  char* spec = nullptr;
  if (GLM_build_abs_fspec(&spec, 0, name) != GLM_OK) return "<failed>";
  std::string text = spec;
  safe_free(spec);
  return text;
}

TEST(FileSpecTest, RelativeNamesResolveAgainstTheWorkingDirectory) {
  const std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(buildSpec("mosaic.json"), cwd + "/mosaic.json");
  EXPECT_EQ(buildSpec("./data/../mosaic.json"), cwd + "/mosaic.json");
  EXPECT_EQ(buildSpec("/srv/data/mosaic.json"), "/srv/data/mosaic.json");
}

TEST(FileSpecTest, RejectsMissingNamesAndUnknownFlags) {
  char* spec = nullptr;
  EXPECT_EQ(GLM_build_abs_fspec(&spec, 0, nullptr), GLM_ERROR_ARGUMENT);
  EXPECT_EQ(GLM_build_abs_fspec(&spec, 0, ""), GLM_ERROR_ARGUMENT);
  EXPECT_EQ(GLM_build_abs_fspec(&spec, 1, "a.json"), GLM_ERROR_ARGUMENT);
  EXPECT_EQ(spec, nullptr);
}

}  // namespace
