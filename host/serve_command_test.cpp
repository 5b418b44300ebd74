// balance-host serve's command line: --help names every option it takes, and a serve that fails
// to start leaves no file open behind it.
#include "serve_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "page_fixture.h"
#include "render_command.h"
#include "site_options.h"

namespace host {
namespace {

namespace fs = std::filesystem;

std::size_t openFiles() {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

TEST(ServeCommand, HelpNamesEveryOption) {
  std::ostringstream out, err;
  EXPECT_EQ(runServe({"--help"}, {}, out, err), 0);
  std::string help = out.str();
  std::set<std::string> options = siteOptionsAnd(
      {"port", "bind", "threads", "io-threads", "max-pending", "max-request-bytes",
       "max-connections", "max-body-bytes-in-flight", "detailed-errors", "access-log"});
  for (const std::string& option : options) {
    EXPECT_NE(help.find("--" + option + " "), std::string::npos) << option;
  }
  EXPECT_EQ(runServe({"--session-cookie", "none"}, {}, out, err), kExitUsage);
  EXPECT_NE(err.str().find("--session-cookie wants strict or lax"), std::string::npos);
}

TEST(ServeCommand, AFailedStartLeavesTheAccessLogClosed) {
  test_support::TempDir dir;
  std::ofstream(dir.path() / "schema.sql") << "create table broken(";
  std::size_t before = openFiles();
  std::ostringstream out, err;
  EXPECT_EQ(runServe({"--root", dir.path().string(), "--data", (dir.path() / "data").string(),
                      "--access-log", (dir.path() / "access.log").string(), "--port", "0"},
                     {}, out, err),
            kExitUsage);
  EXPECT_NE(err.str().find("schema.sql"), std::string::npos) << err.str();
  EXPECT_TRUE(fs::exists(dir.path() / "access.log"));
  EXPECT_EQ(openFiles(), before);
}

}  // namespace
}  // namespace host
