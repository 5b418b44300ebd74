// The HTTP host on loopback: keep-alive, the request-size limit, raw bodies, session cookies
// and the access log.
#include "http_server.h"

#include <gtest/gtest.h>

#include <utility>  // Boost 1.74's asio uses std::exchange without including it

#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include "render_command.h"
#include "test_site.h"

#include <sstream>
#include <thread>

namespace host {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using host_test::TestSite;

class Loopback : public ::testing::Test {
 protected:
  void start(std::size_t maxRequestBytes = 32u << 20) {
    log = std::tmpfile();
    HttpSettings settings;
    settings.port = 0;
    settings.maxRequestBytes = maxRequestBytes;
    settings.accessLog = log;
    server = std::make_unique<HttpServer>(settings, site.site());
    server->start();
    socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), server->port()));
  }
  void TearDown() override {
    site.site().shutdown();  // pages under way answer through the edge before it stops
    server.reset();
    if (log) std::fclose(log);
  }

  http::response<http::string_body> send(http::request<http::string_body> request) {
    request.set(http::field::host, "127.0.0.1");
    request.prepare_payload();
    http::write(socket, request);
    http::response<http::string_body> response;
    http::read(socket, buffer, response);
    return response;
  }
  http::response<http::string_body> get(const std::string& target, const std::string& cookie = "") {
    http::request<http::string_body> request{http::verb::get, target, 11};
    if (!cookie.empty()) request.set(http::field::cookie, cookie);
    return send(std::move(request));
  }

  std::string accessLog() {
    std::fflush(log);
    std::rewind(log);
    std::string text;
    char chunk[512];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, log)) text.append(chunk, n);
    return text;
  }

  TestSite site;
  std::unique_ptr<HttpServer> server;
  std::FILE* log = nullptr;
  net::io_context io;
  tcp::socket socket{io};
  beast::flat_buffer buffer;
};

TEST_F(Loopback, KeepsTheConnectionForSeveralRequestsAndLogsEach) {
  site.write("a.txt", "static");
  site.write("p.asp", "<%= 6 * 7 %>");
  start();
  auto first = get("/a.txt");
  EXPECT_EQ(first.result_int(), 200);
  EXPECT_EQ(first.body(), "static");
  EXPECT_TRUE(first.keep_alive());
  auto second = get("/p.asp?x=1");
  EXPECT_EQ(second.body(), "42");
  EXPECT_EQ(get("/missing").result_int(), 404);
  std::string lines = accessLog();
  EXPECT_NE(lines.find("127.0.0.1 \"GET /a.txt\" 200 6 "), std::string::npos) << lines;
  EXPECT_NE(lines.find("127.0.0.1 \"GET /p.asp?x=1\" 200 2 "), std::string::npos) << lines;
  EXPECT_NE(lines.find("\"GET /missing\" 404"), std::string::npos) << lines;
}

TEST_F(Loopback, RequestsAboveTheSizeLimitAreRefused) {
  site.write("p.asp", "<%= Request.TotalBytes %>");
  start(1000);
  http::request<http::string_body> small{http::verb::post, "/p.asp", 11};
  small.body() = std::string(1000, 'a');
  EXPECT_EQ(send(std::move(small)).body(), "1000");
  http::request<http::string_body> big{http::verb::post, "/p.asp", 11};
  big.body() = std::string(1001, 'a');
  auto response = send(std::move(big));
  EXPECT_EQ(response.result_int(), 413);
  EXPECT_FALSE(response.keep_alive());
}

TEST_F(Loopback, BinaryReadSeesTheRawBody) {
  site.write("raw.asp",
             "<% var b = Request.BinaryRead(Request.TotalBytes); var s = [];\n"
             "for (var i = 0; i < b.length; i++) s.push(b[i]); %><%= s.join(',') %>");
  start();
  http::request<http::string_body> request{http::verb::post, "/raw.asp", 11};
  request.set(http::field::content_type, "application/octet-stream");
  request.body() = std::string("\x00\x01\xfe\r\n", 5);
  EXPECT_EQ(send(std::move(request)).body(), "0,1,254,13,10");
}

TEST_F(Loopback, SessionsFollowTheirCookie) {
  site.write("n.asp", "<% Session('n') = (Session('n') || 0) + 1; %><%= Session('n') %>");
  start();
  auto first = get("/n.asp");
  std::string setCookie(first[http::field::set_cookie]);
  EXPECT_TRUE(setCookie.starts_with(std::string(kSessionCookie) + "=")) << setCookie;
  EXPECT_NE(setCookie.find("HttpOnly"), std::string::npos);
  std::string cookie = setCookie.substr(0, setCookie.find(';'));
  EXPECT_EQ(get("/n.asp", cookie).body(), "2");
  EXPECT_EQ(get("/n.asp", cookie).body(), "3");
  EXPECT_EQ(get("/n.asp").body(), "1");
}

TEST_F(Loopback, HeadAnswersWithTheLengthOfTheGet) {
  site.write("a.txt", "static!");
  site.write("p.asp", "<%= 6 * 7 %> page");
  start();
  for (const char* target : {"/a.txt", "/p.asp"}) {
    auto got = get(target);
    http::request<http::string_body> head{http::verb::head, target, 11};
    head.set(http::field::host, "127.0.0.1");
    http::write(socket, head);
    http::response_parser<http::string_body> parser;
    parser.skip(true);
    http::read(socket, buffer, parser);
    auto answer = parser.release();
    EXPECT_EQ(answer.result_int(), 200) << target;
    EXPECT_EQ(answer[http::field::content_length], std::to_string(got.body().size())) << target;
    EXPECT_EQ(answer.body(), "") << target;
    EXPECT_EQ(get(target).body(), got.body()) << "the connection goes on after a HEAD";
  }
}

TEST_F(Loopback, RenderAndServeGiveTheSameBytes) {
  site.write("same.asp",
             "<%@ CodePage=936 %>" + automation::encodeCodePage(u"中文", 936) +
                 "|<%= Request.QueryString('q') %>|<%= Request.ServerVariables('URL') %>|"
                 "<%= Request.Form('f') %>|<% Response.AddHeader('X-Page', 'yes'); %>");
  start();
  http::request<http::string_body> post{http::verb::post, "/same.asp?q=%D6%D0", 11};
  post.set(http::field::content_type, "application/x-www-form-urlencoded");
  post.body() = "f=%CE%C4";
  auto served = send(std::move(post));
  std::ostringstream out, err;
  int status = runRender({"--root", site.root().string(), "--default-language", "jscript",
                          "--query", "q=%D6%D0", "--form", "f=%CE%C4", "--headers", "same.asp"},
                         site.registry(), out, err);
  EXPECT_EQ(status, 0) << err.str();
  std::string rendered = out.str();
  std::size_t bodyAt = rendered.find("\r\n\r\n") + 4;
  EXPECT_EQ(rendered.substr(bodyAt), served.body());
  EXPECT_EQ(served.body(), automation::encodeCodePage(u"中文|中|/same.asp|文|", 936));
  EXPECT_NE(rendered.find("Content-Type: " + std::string(served[http::field::content_type])),
            std::string::npos);
  EXPECT_NE(rendered.find("X-Page: yes"), std::string::npos);
  EXPECT_EQ(served["X-Page"], "yes");
}

// Reads from the socket until `text` has arrived (or the time is up); everything read so far.
std::string readUntil(tcp::socket& socket, std::string& got, const std::string& text) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  socket.non_blocking(true);
  while (got.find(text) == std::string::npos && std::chrono::steady_clock::now() < until) {
    char chunk[1024];
    boost::system::error_code ec;
    std::size_t n = socket.read_some(net::buffer(chunk), ec);
    if (ec == net::error::would_block) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (ec) break;
    got.append(chunk, n);
  }
  socket.non_blocking(false);
  return got;
}

TEST_F(Loopback, FlushedOutputIsSentWhileThePageGoesOn) {
  site.write("f.asp",
             "<% Response.Write('first'); Response.Flush();\n"
             "Server.CreateObject('test.Probe').Rendezvous(2, 5000);\n"
             "Response.Write('gone'); Response.Clear(); Response.Write('second'); %>");
  start();
  host_test::resetRendezvous();
  std::string request = "GET /f.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  net::write(socket, net::buffer(request));
  std::string got;
  readUntil(socket, got, "first");
  EXPECT_NE(got.find("Transfer-Encoding: chunked\r\n"), std::string::npos) << got;
  EXPECT_NE(got.find("\r\n\r\n5\r\nfirst\r\n"), std::string::npos) << got;
  EXPECT_EQ(got.find("second"), std::string::npos) << "the page is still waiting";
  EXPECT_TRUE(host_test::rendezvous(2, 5000));
  readUntil(socket, got, "0\r\n\r\n");
  EXPECT_TRUE(got.ends_with("5\r\nfirst\r\n6\r\nsecond\r\n0\r\n\r\n")) << got;
  EXPECT_EQ(get("/none").result_int(), 404) << "the connection goes on";
}

TEST_F(Loopback, FlushedPagesGoWholeToHeadAndOldClients) {
  site.write("f.asp", "<% Response.Write('first'); Response.Flush(); Response.Write('+rest'); %>");
  start();
  http::request<http::string_body> old{http::verb::get, "/f.asp", 10};
  old.keep_alive(true);
  auto answer = send(std::move(old));
  EXPECT_EQ(answer.body(), "first+rest");
  EXPECT_EQ(answer[http::field::content_length], "10");
  EXPECT_TRUE(answer.keep_alive());
  http::request<http::string_body> head{http::verb::head, "/f.asp", 11};
  head.set(http::field::host, "127.0.0.1");
  http::write(socket, head);
  http::response_parser<http::string_body> parser;
  parser.skip(true);
  http::read(socket, buffer, parser);
  EXPECT_EQ(parser.get()[http::field::content_length], "10");
}

TEST_F(Loopback, APageSeesItsClientGo) {
  site.write("watch.asp",
             "<% var waited = 0; while (Response.IsClientConnected && waited < 500) {\n"
             "  Server.CreateObject('test.Probe').Rendezvous(2, 10); waited++; }\n"
             "Application('gone') = !Response.IsClientConnected; %>");
  start();
  std::string request = "GET /watch.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
  net::write(socket, net::buffer(request));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  socket.close();
  auto& application = *site.site().application();
  for (int i = 0; i < 300 && application.get(u"gone").isEmpty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(automation::equals(application.get(u"gone"), automation::Variant(true)));
}

}  // namespace
}  // namespace host
