// The demo person page over HTTP on loopback, as a browser drives it: list, sort by a column,
// go to page 2, open a row's edit form, save it, and see the change in the list.
#include <gtest/gtest.h>

#include <regex>
#include <utility>  // Boost 1.74's asio uses std::exchange without including it

#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include "ado/ado.h"
#include "http_server.h"
#include "page_fixture.h"
#include "registration.h"
#include "site_database.h"

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
    balance::registerBalanceClasses(registry);
    ado::registerClasses(registry);
    application = std::make_shared<asp::Application>();
    database = SiteDatabase::open(root, dir.path() / "data", *application);
    pages = std::make_unique<PageRunner>(SiteSettings{root}, registry, application);
    handler =
        std::make_unique<SiteHandler>(*pages, sessions, StaticFiles(root, dir.path() / "data"));
    HttpSettings settings;
    settings.port = 0;
    settings.threads = 2;
    settings.accessLog = nullptr;
    server = std::make_unique<HttpServer>(settings, *handler);
    server->start();
    socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), server->port()));
  }

  http::response<http::string_body> send(http::verb verb, const std::string& target,
                                         const std::string& form = "") {
    http::request<http::string_body> request{verb, target, 11};
    request.set(http::field::host, "127.0.0.1");
    if (!cookie.empty()) request.set(http::field::cookie, cookie);
    if (!form.empty()) {
      request.set(http::field::content_type, "application/x-www-form-urlencoded");
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

  test_support::TempDir dir;
  fs::path root;
  automation::ClassRegistry registry;
  std::shared_ptr<asp::Application> application;
  std::unique_ptr<SiteDatabase> database;
  std::unique_ptr<PageRunner> pages;
  SessionStore sessions;
  std::unique_ptr<SiteHandler> handler;
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

TEST_F(DemoSite, SortPageEditAndSave) {
  std::string list = page("");
  EXPECT_NE(list.find("共3页 共50项"), std::string::npos);
  EXPECT_EQ(rowNames(list).size(), 20u);
  EXPECT_NE(list.find("<td>办公室&nbsp;</td>"), std::string::npos);  // coded department column

  std::string sorted = page("?action=list&page=1&order=name");
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
  ASSERT_TRUE(std::regex_search(second, edit, std::regex("action=update&id=(\\d+)'")));
  std::string id = edit[1];
  std::string form = page("?action=update&id=" + id);
  EXPECT_NE(form.find("<input type='hidden' name='action' value='update2'>"), std::string::npos);
  EXPECT_NE(form.find("<input type='text' name='name' value='" + names.front() + "'"),
            std::string::npos);
  EXPECT_NE(form.find("src=\"../Images/dropdown.gif\""), std::string::npos);

  auto saved = send(http::verb::post, "/person/index.asp",
                    "action=update2&id=" + id +
                        "&name=%E9%98%BF%E4%B8%80&sex=%E5%A5%B3&deptID=2&birthday=1990-01-02"
                        "&phone=010-1234&email=a%40b.cn");
  ASSERT_EQ(saved.result_int(), 200) << saved.body();
  EXPECT_NE(saved.body().find("update person set name='阿一'"), std::string::npos);
  std::string again = page("?action=update&id=" + id);
  EXPECT_NE(again.find("<input type='text' name='name' value='阿一'"), std::string::npos);
  EXPECT_NE(again.find("<option value='2' selected >人事处</option>"), std::string::npos) << again;
}

TEST_F(DemoSite, AssetsTheListRefersToAreServed) {
  for (const char* target :
       {"/include/style.css", "/Include/Calendar.js", "/images/home1.gif", "/Images/dropdown.gif",
        "/person/images/edit.gif", "/person/images/delete.gif"}) {
    auto r = send(http::verb::get, target);
    EXPECT_EQ(r.result_int(), 200) << target;
  }
  EXPECT_EQ(send(http::verb::get, "/person/index.asp?x").body().find("<%"), std::string::npos);
}

}  // namespace
}  // namespace host
