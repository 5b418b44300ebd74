#include "command_line.h"

#include <gtest/gtest.h>

#include "tool_error.h"

namespace {

TEST(CommandLineTest, ReadsApplyWithOptionsInAnyOrder) {
  const Command command = parseCommandLine(
      {"apply", "in.tif", "--header", "h.json", "out.tif", "--band", "2", "--plugin", "p.so"});
  const auto& apply = std::get<ApplyOptions>(command);
  EXPECT_EQ(apply.plugin, "p.so");
  EXPECT_EQ(apply.header, "h.json");
  EXPECT_EQ(apply.band, "2");
  EXPECT_EQ(apply.input, "in.tif");
  EXPECT_EQ(apply.output, "out.tif");

  const auto quads = std::get<QuadsOptions>(parseCommandLine({"quads", "in.tif"}));
  EXPECT_EQ(quads.input, "in.tif");
  EXPECT_FALSE(quads.band.has_value());
}

TEST(CommandLineTest, RejectsUsageMistakes) {
  const std::vector<std::vector<std::string>> mistakes = {
      {},
      {"level", "in.tif"},
      {"apply", "--plugin", "p.so", "in.tif", "out.tif"},
      {"apply", "--plugin", "p.so", "--header", "h.json", "in.tif"},
      {"apply", "--plugin", "p.so", "--header", "h.json", "in.tif", "out.tif", "--band"},
      {"quads", "--band", "1", "--band", "2", "in.tif"},
      {"quads", "--colour", "red", "in.tif"},
  };
  for (const auto& arguments : mistakes) {
    EXPECT_THROW(parseCommandLine(arguments), ToolError) << testing::PrintToString(arguments);
  }
}

}  // namespace
