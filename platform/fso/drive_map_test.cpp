#include "drive_map.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "automation/error.h"

namespace fso {
namespace {

class DriveMapTest : public ::testing::Test {
 protected:
  DriveMapTest() {
    setenv("BALANCE_DRIVES", "/srv/drives", 1);
    setenv("BALANCE_DRIVE_E", "/mnt/e-drive", 1);
  }
  ~DriveMapTest() override {
    unsetenv("BALANCE_DRIVES");
    unsetenv("BALANCE_DRIVE_E");
  }
};

TEST_F(DriveMapTest, EachLetterHasARoot) {
  EXPECT_EQ(driveRoot(u'd'), "/srv/drives/d");
  EXPECT_EQ(driveRoot(u'D'), "/srv/drives/d");
  EXPECT_EQ(driveRoot(u'e'), "/mnt/e-drive");  // its own variable wins
  unsetenv("BALANCE_DRIVES");
  setenv("XDG_DATA_HOME", "/home/u/.local/share", 1);
  EXPECT_EQ(driveRoot(u'c'), "/home/u/.local/share/balance/drives/c");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(driveRoot(u'c'), "data/drives/c");
  setDefaultDrivesFolder("/var/lib/site-data/drives");
  EXPECT_EQ(driveRoot(u'c'), "/var/lib/site-data/drives/c");
  EXPECT_EQ(driveRoot(u'e'), "/mnt/e-drive");
  setDefaultDrivesFolder("data/drives");
}

TEST_F(DriveMapTest, DrivePathsLandUnderTheRoot) {
  EXPECT_EQ(toHostPath(u"d:\\upload\\a.txt"), "/srv/drives/d/upload/a.txt");
  EXPECT_EQ(toHostPath(u"D:/upload//a.txt"), "/srv/drives/d/upload/a.txt");
  EXPECT_EQ(toHostPath(u"d:\\upload\\"), "/srv/drives/d/upload/");
  EXPECT_EQ(toHostPath(u"d:\\..\\..\\etc\\passwd"), "/srv/drives/d/etc/passwd");
  EXPECT_EQ(toHostPath(u"d:\\a\\.\\b\\..\\c"), "/srv/drives/d/a/c");
  EXPECT_EQ(toHostPath(u"e:\\x"), "/mnt/e-drive/x");
  EXPECT_EQ(toHostPath(u"d:\\中文.txt"), "/srv/drives/d/\xE4\xB8\xAD\xE6\x96\x87.txt");
}

TEST_F(DriveMapTest, PathsWithoutAColonAreRelative) {
  EXPECT_EQ(toHostPath(u"upload\\a.txt"), "upload/a.txt");
  EXPECT_EQ(toHostPath(u"\\upload\\a.txt"), "upload/a.txt");
  EXPECT_EQ(toHostPath(u"upload\\"), "upload/");
}

TEST_F(DriveMapTest, PathsThatNameNoFileFail) {
  EXPECT_THROW(toHostPath(automation::Text(u"d:\\a\0b", 6)), automation::AutomationError);
  EXPECT_THROW(toHostPath(u"upload:x\\a"), automation::AutomationError);
  EXPECT_THROW(toHostPath(u"d:\\a:b"), automation::AutomationError);
}

}  // namespace
}  // namespace fso
