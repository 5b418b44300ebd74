// Uploads never run and are never served: a page receives shell.asp through balance.SystemInit
// into d:\upload\, and the file is then asked for by its path, as an outsider would. The default
// drive root lies under the data folder beside the site; a data folder or drive placed inside the
// site is as private.
#include <gtest/gtest.h>

#include <cstdlib>

#include "registration.h"
#include "test_site.h"

namespace host {
namespace {

namespace fs = std::filesystem;
using host_test::TestSite;

// What the uploaded files say when sent or run; nothing of it may come back.
constexpr char kShell[] = "<%= 'pw' + 'ned' %>";

class UploadedFiles : public ::testing::Test {
 protected:
  UploadedFiles() {
    for (const char* name : {"BALANCE_DRIVE_D", "BALANCE_DRIVES", "XDG_DATA_HOME"}) unsetenv(name);
  }
  ~UploadedFiles() override { unsetenv("BALANCE_DRIVE_D"); }

  void start(std::function<void(SiteSettings&)> settings = {}) {
    host_test::TestSiteOptions options;
    options.classes = balance::registerBalanceClasses;
    options.settings = std::move(settings);
    site = std::make_unique<TestSite>(options);
    site->write("index.asp", "home");
    site->write("up.asp",
                "<% var u = Server.CreateObject('balance.SystemInit');"
                " Response.Write(u.Upload(0, 'd:\\\\upload\\\\', 1)); %>");
    site->write("run.asp", "<% Server.Execute(Request.QueryString('p')); %>");
  }

  HttpReply upload(const std::string& name, const std::string& content) {
    PageRequest post;
    post.method = "POST";
    post.target = "/up.asp";
    post.contentType = "multipart/form-data; boundary=XyZ";
    post.body = "--XyZ\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + name +
                "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content +
                "\r\n--XyZ--\r\n";
    return site->site().handle(post);
  }

  void expectUnreachable(const std::string& target, int status = 404) {
    HttpReply r = site->get(target);
    EXPECT_EQ(r.status, status) << target;
    EXPECT_EQ(r.body.find("pwned"), std::string::npos) << target;
  }

  std::unique_ptr<TestSite> site;
};

TEST_F(UploadedFiles, TheDefaultDriveRootLiesInTheDataFolderBesideTheSite) {
  start();
  fs::path folder = site->root().parent_path() / "site-data" / "drives" / "d" / "upload";
  fs::create_directories(folder);
  HttpReply answer = upload("shell.asp", kShell);
  EXPECT_EQ(answer.body, "OK");
  ASSERT_TRUE(fs::exists(folder / "shell.asp"));  // not in ./data of the working folder
  EXPECT_FALSE(fs::exists(site->root() / "data"));
  expectUnreachable("/../site-data/drives/d/upload/shell.asp");
  expectUnreachable("/run.asp?p=../site-data/drives/d/upload/shell.asp", 500);
  EXPECT_EQ(site->get("/").body, "home");
}

TEST_F(UploadedFiles, ADataFolderPlacedInsideTheSiteIsNeverServedNorRun) {
  start([](SiteSettings& s) { s.dataFolder = s.root / "data"; });
  fs::path folder = site->root() / "data" / "drives" / "d" / "upload";
  fs::create_directories(folder);
  EXPECT_EQ(upload("shell.asp", kShell).body, "OK");
  ASSERT_TRUE(fs::exists(folder / "shell.asp"));
  site->write("data/drives/d/upload/note.txt", "pwned note");
  expectUnreachable("/data/drives/d/upload/shell.asp");
  expectUnreachable("/DATA/Drives/D/upload/SHELL.ASP");
  expectUnreachable("/data/drives/d/upload/note.txt");
  expectUnreachable("/run.asp?p=data/drives/d/upload/shell.asp", 500);
  EXPECT_EQ(site->get("/").body, "home");
}

TEST_F(UploadedFiles, ADriveMappedInsideTheSiteIsAsPrivate) {
  start([](SiteSettings& s) { setenv("BALANCE_DRIVE_D", (s.root / "files").c_str(), 1); });
  fs::create_directories(site->root() / "files" / "upload");
  EXPECT_EQ(upload("shell.asp", kShell).body, "OK");
  EXPECT_EQ(upload("shell.txt", "pwned text").body, "OK");
  site->write("files/upload/index.asp", "pwned index");
  expectUnreachable("/files/upload/shell.asp");
  expectUnreachable("/files/upload/shell.txt");
  expectUnreachable("/files/upload/");
  expectUnreachable("/run.asp?p=files/upload/shell.asp", 500);
  EXPECT_EQ(site->get("/").body, "home");
}

}  // namespace
}  // namespace host
