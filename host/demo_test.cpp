// The demo application over HTTP on loopback, as a browser drives it: signing in and the pages'
// guard, the person page (sort, page 2, edit, save), a plan added to one's own day and refused
// for another's, a deleted permission group taking its rights and members with it, and files
// uploaded into the uploader's own folder and served back by their names only.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <utility>  // Boost 1.74's asio uses std::exchange without including it

#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include "ado/ado.h"
#include "http_server.h"
#include "page_fixture.h"
#include "password_object.h"
#include "registration.h"
#include "scripting/registration.h"

namespace host {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
namespace fs = std::filesystem;

class DemoSite : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* source = std::getenv("BALANCE_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    fs::copy(fs::path(source) / "demo", dir.path() / "demo",
             fs::copy_options::recursive | fs::copy_options::skip_symlinks);
    fs::remove_all(dir.path() / "demo" / "data");
    root = dir.path() / "demo";
    drive = dir.path() / "data" / "drives" / "d";
    fs::create_directories(drive);
    setenv("BALANCE_DRIVE_D", drive.c_str(), 1);
    automation::ClassRegistry registry;
    balance::registerBalanceClasses(registry);
    ado::registerClasses(registry);
    scripting::registerClasses(registry, 936);
    registerPasswordClass(registry);
    SiteSettings siteSettings;
    siteSettings.root = root;
    siteSettings.dataFolder = dir.path() / "data";
    site = std::make_unique<Site>(siteSettings, std::move(registry));
    HttpSettings settings;
    settings.port = 0;
    settings.accessLog = nullptr;
    server = std::make_unique<HttpServer>(settings, *site);
    server->start();
    socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), server->port()));
  }

  http::response<http::string_body> send(
      http::verb verb, const std::string& target, const std::string& form = "",
      const std::string& contentType = "application/x-www-form-urlencoded") {
    http::request<http::string_body> request{verb, target, 11};
    request.set(http::field::host, "127.0.0.1");
    if (!cookie.empty()) request.set(http::field::cookie, cookie);
    if (!form.empty()) {
      request.set(http::field::content_type, contentType);
      request.body() = form;
    }
    request.prepare_payload();
    http::write(socket, request);
    http::response<http::string_body> response;
    http::read(socket, buffer, response);
    std::string setCookie(response[http::field::set_cookie]);
    if (!setCookie.empty()) cookie = setCookie.substr(0, setCookie.find(';'));
    return response;
  }
  std::string page(const std::string& query) {
    auto r = send(http::verb::get, "/person/index.asp" + query);
    EXPECT_EQ(r.result_int(), 200) << r.body();
    return r.body();
  }
  // Signs in (every seeded password is "balance"); the answer of the sign-in page.
  http::response<http::string_body> signIn(const std::string& name,
                                           const std::string& password = "balance") {
    cookie.clear();
    return send(http::verb::post, "/login.asp", "username=" + name + "&password=" + password);
  }

  // Posts one file to the upload page as a browser's form does.
  http::response<http::string_body> upload(const std::string& fileName,
                                           const std::string& content) {
    const std::string boundary = "----form7d1b2c3d";
    std::string body = "--" + boundary +
                       "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"" + fileName +
                       "\"\r\nContent-Type: application/octet-stream\r\n\r\n" + content + "\r\n--" +
                       boundary + "--\r\n";
    return send(http::verb::post, "/upload/index.asp", body,
                "multipart/form-data; boundary=" + boundary);
  }

  void TearDown() override {
    site->shutdown();  // pages under way answer through the edge before it stops
    server.reset();
    unsetenv("BALANCE_DRIVE_D");
  }

  test_support::TempDir dir;
  fs::path root;
  fs::path drive;
  std::unique_ptr<Site> site;
  std::unique_ptr<HttpServer> server;
  net::io_context io;
  tcp::socket socket{io};
  beast::flat_buffer buffer;
  std::string cookie;
};

// Names in the list rows, in order: the row number cell is followed by the id and the name.
std::vector<std::string> rowNames(const std::string& html) {
  std::vector<std::string> names;
  std::regex row("</a> \\d+</td><td>([^&]*)&nbsp;</td>\r\n<td>([^&]*)&nbsp;</td>");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator();
       ++it) {
    names.push_back((*it)[2]);
  }
  return names;
}

const std::string kLiMing = "%E6%9D%8E%E6%98%8E";  // 李明, as a form posts it

TEST_F(DemoSite, PagesNeedASignedInPersonAndTheRightMenuItem) {
  auto away = send(http::verb::get, "/scheduler/personMonth.asp");
  EXPECT_EQ(away.result_int(), 302);
  EXPECT_EQ(away[http::field::location], "/login.asp");

  auto wrong = signIn(kLiMing, "balance2");
  EXPECT_EQ(wrong.result_int(), 200);
  EXPECT_NE(wrong.body().find("用户名或密码不正确"), std::string::npos);
  EXPECT_EQ(send(http::verb::get, "/index.asp").result_int(), 302);
  EXPECT_EQ(signIn("nobody").result_int(), 200);

  auto right = signIn(kLiMing);
  EXPECT_EQ(right.result_int(), 302);
  EXPECT_EQ(right[http::field::location], "/index.asp");
  auto frame = send(http::verb::get, "/index.asp");
  EXPECT_NE(frame.body().find("t=outlookbar.addtitle('日程安排');"), std::string::npos);
  EXPECT_EQ(frame.body().find("系统管理"), std::string::npos);
  EXPECT_EQ(send(http::verb::get, "/scheduler/leaderMonth.asp").result_int(), 200);
  for (const char* refused : {"/permission/permission.asp", "/permission/permissionMan.asp?id=1",
                              "/person/index.asp", "/tables/menu.asp"}) {
    EXPECT_EQ(send(http::verb::get, refused).result_int(), 403) << refused;
  }

  send(http::verb::get, "/logout.asp");
  EXPECT_EQ(send(http::verb::get, "/home.asp").result_int(), 302);
  signIn("admin");
  EXPECT_EQ(send(http::verb::get, "/permission/permission.asp").result_int(), 200);
  EXPECT_EQ(send(http::verb::get, "/tables/menu.asp").result_int(), 200);
}

TEST_F(DemoSite, ASignInNeverKeepsTheTokenItFound) {
  signIn(kLiMing);
  std::string before = cookie;
  ASSERT_NE(before, "");
  // Signing in again on the same session, as somebody else: a new token, the old one is out.
  auto admin = send(http::verb::post, "/login.asp", "username=admin&password=balance");
  EXPECT_EQ(admin.result_int(), 302);
  EXPECT_NE(cookie, before);
  EXPECT_EQ(send(http::verb::get, "/permission/permission.asp").result_int(), 200);
  std::string after = cookie;
  cookie = before;
  EXPECT_EQ(send(http::verb::get, "/home.asp").result_int(), 302);
  cookie = after;
  EXPECT_EQ(send(http::verb::get, "/home.asp").result_int(), 200);
}

TEST_F(DemoSite, APersonChangesHisOwnPassword) {
  signIn(kLiMing);
  auto answer = [&](const std::string& form) {
    return send(http::verb::post, "/password.asp", form).body();
  };
  EXPECT_NE(answer("oldPassword=wrong&newPassword=secret1&repeat=secret1").find("原密码不正确"),
            std::string::npos);
  EXPECT_NE(answer("oldPassword=balance&newPassword=short&repeat=short").find("至少需要 6 个字符"),
            std::string::npos);
  EXPECT_NE(answer("oldPassword=balance&newPassword=secret1&repeat=secret2").find("不一致"),
            std::string::npos);
  // Only an administrator names another person: the field is ignored for everybody else.
  EXPECT_NE(answer("personID=6&oldPassword=balance&newPassword=secret1&repeat=secret1")
                .find("密码已修改"),
            std::string::npos);
  EXPECT_EQ(signIn(kLiMing).result_int(), 200);
  EXPECT_EQ(signIn(kLiMing, "secret1").result_int(), 302);
  EXPECT_EQ(signIn("%E9%99%88%E9%9D%99").result_int(), 302);  // 陈静 kept hers
}

TEST_F(DemoSite, SortPageEditAndSave) {
  signIn("admin");
  std::string list = page("");
  EXPECT_NE(list.find("共3页 共50项"), std::string::npos);
  EXPECT_EQ(rowNames(list).size(), 20u);
  EXPECT_NE(list.find("<td>办公室&nbsp;</td>"), std::string::npos);  // coded department column

  std::string sorted = page("?action=list&page=1&order=personName");
  EXPECT_NE(sorted.find("姓名 <span id=ctrlDiv><font size=-2>▲</font></span>"), std::string::npos)
      << sorted;
  std::vector<std::string> first = rowNames(sorted);
  ASSERT_EQ(first.size(), 20u);
  EXPECT_TRUE(std::is_sorted(first.begin(), first.end()));

  std::string second = page("?action=list&page=2");
  EXPECT_NE(second.find("<option value=2 selected  >2</option>"), std::string::npos);
  EXPECT_NE(second.find("真的要删除第 21 条记录"), std::string::npos);
  std::vector<std::string> names = rowNames(second);
  ASSERT_EQ(names.size(), 20u);
  EXPECT_GT(names.front(), first.back());

  std::smatch edit;
  ASSERT_TRUE(std::regex_search(second, edit, std::regex("action=update&personID=(\\d+)'")));
  std::string id = edit[1];
  std::string form = page("?action=update&personID=" + id);
  EXPECT_NE(form.find("<input type='hidden' name='action' value='update2'>"), std::string::npos);
  EXPECT_NE(form.find("<input type='text' name='personName' value='" + names.front() + "'"),
            std::string::npos);
  EXPECT_NE(form.find("src=\"../Images/dropdown.gif\""), std::string::npos);

  auto saved = send(http::verb::post, "/person/index.asp",
                    "action=update2&personID=" + id +
                        "&personName=%E9%98%BF%E4%B8%80&sex=%E5%A5%B3&deptID=3&dutyID=6"
                        "&personGroupID=1&birthday=1990-01-02&phone=010-1234&email=a%40b.cn"
                        "&systemID=1");
  ASSERT_EQ(saved.result_int(), 200) << saved.body();
  EXPECT_NE(saved.body().find("update person set personName='阿一'"), std::string::npos);
  std::string again = page("?action=update&personID=" + id);
  EXPECT_NE(again.find("<input type='text' name='personName' value='阿一'"), std::string::npos);
  EXPECT_NE(again.find("<option value='3' selected >人事处</option>"), std::string::npos) << again;

  // A name that is taken is refused with a message, and the list goes on.
  auto taken = send(http::verb::post, "/person/index.asp",
                    "action=insert2&personName=admin&dutyID=6&systemID=1");
  ASSERT_EQ(taken.result_int(), 200);
  EXPECT_NE(taken.body().find("同名的记录已经存在"), std::string::npos);
}

TEST_F(DemoSite, PlansAreAddedToOnesOwnDayOnly) {
  signIn(kLiMing);
  auto day = send(http::verb::get, "/scheduler/manage.asp?personID=5&dt=2030-1-5");
  ASSERT_EQ(day.result_int(), 200) << day.body();
  EXPECT_NE(day.body().find("2030-01-05 的计划"), std::string::npos);
  auto added = send(http::verb::post, "/scheduler/manage.asp",
                    "action=insert2&planStartTime=2030-01-05&planEndTime=2030-01-06"
                    "&planAddrTypeID=3&planAddrID=12&planTypeID=3&planContent=x&planFlagID=1"
                    "&personID=5");
  EXPECT_NE(added.body().find("插入成功"), std::string::npos) << added.body();
  std::string month = send(http::verb::get, "/scheduler/personMonth.asp?dt=2030-01-01").body();
  EXPECT_NE(month.find("<td class='sch3' valign='top' onclick=manage('2030-01-06');>6<br><span "
                       "style='font-size:12px;'>外地:成都<br></span></td>"),
            std::string::npos)
      << month;

  for (const char* refused :
       {"action=insert2&planStartTime=2030-01-05&planEndTime=2030-01-05&planAddrTypeID=1"
        "&planAddrID=1&planFlagID=1&personID=6",
        "action=insert2&planStartTime=2030-01-05&planEndTime=2030-01-04&planAddrTypeID=1"
        "&planAddrID=1&planFlagID=1&personID=5"}) {
    auto answer = send(http::verb::post, "/scheduler/manage.asp", refused);
    EXPECT_NE(answer.body().find("class='problem'"), std::string::npos) << refused;
    EXPECT_EQ(answer.body().find("插入成功"), std::string::npos) << refused;
  }
  EXPECT_EQ(send(http::verb::get, "/scheduler/manage.asp?personID=6").result_int(), 403);
}

TEST_F(DemoSite, ADeletedGroupTakesItsRightsAndMembersAlong) {
  signIn("admin");
  auto confirm = send(http::verb::get, "/permission/permission.asp?ac=del&id=2");
  EXPECT_NE(confirm.body().find("确定删除权限组“处级以上领导”吗"), std::string::npos);
  auto deleted = send(http::verb::post, "/permission/permission.asp?ac=del&id=2", "x=1");
  EXPECT_NE(deleted.body().find("已删除权限组“处级以上领导”"), std::string::npos) << deleted.body();

  // The rows went with the group, not only out of the menu.
  auto db = std::make_shared<ado::Connection>();
  db->Open(automation::fromUtf8("Provider=SQLite;Data Source=" +
                                (dir.path() / "data" / "site.db").string()));
  for (const char16_t* table : {u"AccessMenu", u"accessPerson"}) {
    ado::Recordset rs;
    rs.Open(automation::Variant(std::u16string(u"select count(*) from ") + table +
                                u" where accessGroupID=2"),
            automation::Variant(automation::ObjectRef(db)), 1, -1, -1);
    EXPECT_EQ(automation::toInt32(rs.value(automation::Variant(0))), 0)
        << automation::toUtf8(table);
  }
  signIn(kLiMing);
  std::string frame = send(http::verb::get, "/index.asp").body();
  // 李明 was in that group only: no menu item is left to him, and the frame starts at home.
  EXPECT_EQ(frame.find("outlookbar.addtitle("), std::string::npos);
  EXPECT_NE(frame.find("src=\"home.asp\""), std::string::npos);
}

// OpenDNA takes its statement by reference and hands it back trimmed: a VBScript page sees it in
// its own variable, passed directly and through the table page's procedure.
TEST_F(DemoSite, OpenDNAWritesTheTrimmedStatementBackIntoTheVBScriptVariable) {
  std::ofstream(root / "opendna.asp")
      << "<%@ Language=\"VBScript\" CodePage=65001 %>\n"
         "<!--#include file=\"include/common_vb.inc\"-->\n"
         "<!--#include file=\"include/table_page_vb.inc\"-->\n"
         "<% sql = \"  select personID,personName from person order by personID  \"\n"
         "direct = sql\nSet dna = Server.CreateObject(\"balance.DNA\")\n"
         "dna.OpenDNA connStr, direct, \"\"\ndna.CloseDNA\n"
         "ShowTablePage \"t\", sql, \"编号,姓名\", \"\", \"\", \"\", Empty\n"
         "Response.Write \"[\" & direct & \"][\" & sql & \"]\" %>";
  signIn("admin");
  auto r = send(http::verb::get, "/opendna.asp");
  ASSERT_EQ(r.result_int(), 200) << r.body();
  const std::string trimmed = "select personID,personName from person order by personID";
  EXPECT_TRUE(r.body().ends_with("</body></html>[" + trimmed + "][" + trimmed + "]")) << r.body();
}

std::string fileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(DemoSite, FilesGoToTheUploadersFolderAndComeBackByTheirNamesOnly) {
  const std::string bytes("minutes\r\n\0\x01\xff", 12);
  signIn(kLiMing);  // person 5
  auto posted = upload("../../x", bytes);
  ASSERT_EQ(posted.result_int(), 200) << posted.body();
  EXPECT_NE(posted.body().find("已上传“x”（12 字节）"), std::string::npos) << posted.body();
  EXPECT_EQ(fileText(drive / "upload" / "5" / "x"), bytes);
  EXPECT_FALSE(fs::exists(drive / "x"));
  EXPECT_FALSE(fs::exists(drive / "upload" / "x"));
  auto again = upload("x", "other");
  EXPECT_NE(again.body().find("已经存在"), std::string::npos);  // the receiver's refusal
  EXPECT_EQ(fileText(drive / "upload" / "5" / "x"), bytes);

  // Names a file may carry are written as text and carried in links as data.
  upload("<img src=a onerror=alert(1)>.png", "png");
  std::ofstream(drive / "upload" / "5" / "a\"b'.txt") << "quoted";
  std::string list = send(http::verb::get, "/upload/index.asp").body();
  EXPECT_EQ(list.find("<img src=a"), std::string::npos);
  EXPECT_NE(list.find(">&lt;img src=a onerror=alert(1)&gt;.png</a>"), std::string::npos) << list;
  EXPECT_NE(list.find("href='download.asp?p=5&amp;name=a%22b%27.txt'"), std::string::npos) << list;

  auto quoted = send(http::verb::get, "/upload/download.asp?p=5&name=a%22b%27.txt");
  ASSERT_EQ(quoted.result_int(), 200);
  EXPECT_EQ(quoted.body(), "quoted");
  EXPECT_EQ(quoted[http::field::content_type], "application/octet-stream");
  EXPECT_EQ(quoted[http::field::content_disposition],
            "attachment; filename=\"a_b'.txt\"; filename*=UTF-8''a%22b%27.txt");
  auto file = send(http::verb::get, "/upload/download.asp?name=x");
  EXPECT_EQ(file.body(), bytes);

  // Only names the folder holds are served: nothing is reached by a path.
  fs::create_directories(drive / "upload" / "6");
  std::ofstream(drive / "upload" / "6" / "hers.txt") << "hers";
  for (const char* target :
       {"/upload/download.asp?name=..%2F6%2Fhers.txt",
        "/upload/download.asp?name=..%5C6%5Chers.txt", "/upload/download.asp?p=6&name=hers.txt",
        "/upload/download.asp?name=..%2F..%2F..%2Fsite.db", "/upload/download.asp?name=X",
        "/upload/download.asp?name="}) {
    EXPECT_EQ(send(http::verb::get, target).result_int(), 404) << target;
  }
  signIn("%E9%99%88%E9%9D%99");  // 陈静, person 6
  EXPECT_EQ(send(http::verb::get, "/upload/download.asp?p=5&name=x").result_int(), 404);
  EXPECT_EQ(send(http::verb::get, "/upload/download.asp?name=hers.txt").body(), "hers");
  send(http::verb::post, "/upload/index.asp?p=5&delete=x", "x=1");  // not hers to delete
  EXPECT_TRUE(fs::exists(drive / "upload" / "5" / "x"));

  signIn("admin");
  EXPECT_EQ(send(http::verb::get, "/upload/download.asp?p=5&name=x").body(), bytes);
  auto removed = send(http::verb::post, "/upload/index.asp?p=5&delete=x", "x=1");
  EXPECT_NE(removed.body().find("已删除“x”"), std::string::npos) << removed.body();
  EXPECT_FALSE(fs::exists(drive / "upload" / "5" / "x"));
}

TEST_F(DemoSite, AssetsThePagesReferToAreServed) {
  for (const char* target :
       {"/include/style.css", "/Include/Calendar.js", "/include/compat.js",
        "/include/outlookbar.js", "/favicon.ico", "/images/home1.gif", "/Images/dropdown.gif",
        "/Images/jian1.gif", "/Images/jian4.gif", "/Images/niuban.gif", "/person/images/edit.gif",
        "/tables/images/delete.gif", "/scheduler/images/edit.gif"}) {
    auto r = send(http::verb::get, target);
    EXPECT_EQ(r.result_int(), 200) << target;
  }
  EXPECT_EQ(send(http::verb::get, "/login.asp?x").body().find("<%"), std::string::npos);
  for (const char* hidden : {"/include/guard.inc", "/seed.sql", "/data/site.db"}) {
    EXPECT_NE(send(http::verb::get, hidden).result_int(), 200) << hidden;
  }
}

}  // namespace
}  // namespace host
