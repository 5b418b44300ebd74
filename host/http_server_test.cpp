// The HTTP host on loopback: keep-alive, the request-size limits, raw bodies, session cookies,
// the access log, and the refusals of the edge (framing in doubt, connections and bodies beyond
// their caps), each sent as the attack would send it.
#include "http_server.h"

#include <gtest/gtest.h>

#include <utility>  // Boost 1.74's asio uses std::exchange without including it

#include <boost/asio.hpp>
#include <boost/beast.hpp>

#include "http_wire.h"
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
    start([maxRequestBytes](HttpSettings& s) { s.maxRequestBytes = maxRequestBytes; });
  }
  void start(const std::function<void(HttpSettings&)>& change) {
    log = std::tmpfile();
    HttpSettings settings;
    settings.port = 0;
    settings.accessLog = log;
    change(settings);
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

// A request as raw bytes on a connection of its own: everything the server sends until it
// closes the connection (or the time is up).
std::string exchangeRaw(unsigned short port, const std::string& bytes) {
  net::io_context io;
  tcp::socket socket(io);
  socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), port));
  net::write(socket, net::buffer(bytes));
  std::string got;
  readUntil(socket, got, "\x01never");
  return got;
}

int statusOf(const std::string& reply) {
  return reply.starts_with("HTTP/1.1 ") ? std::stoi(reply.substr(9, 3)) : 0;
}

TEST_F(Loopback, TransferCodingsOtherThanAFinalChunkedAreRefused) {
  site.write("p.asp", "<%= Request.TotalBytes %>");
  site.write("secret.txt", "smuggled");
  start();
  for (const char* coding : {"chunked, identity", "xchunked", "identity", "gzip"}) {
    std::string got = exchangeRaw(
        server->port(), std::string("POST /p.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n") +
                            "Transfer-Encoding: " + coding +
                            "\r\n\r\n0\r\n\r\nGET /secret.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(statusOf(got), 400) << coding;
    EXPECT_NE(got.find("Connection: close"), std::string::npos) << coding;
    EXPECT_EQ(got.find("smuggled"), std::string::npos) << coding;
    EXPECT_EQ(got.find("HTTP/1.1", 1), std::string::npos) << "one reply only: " << got;
  }
  std::string chunked = exchangeRaw(server->port(),
                                    "POST /p.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                    "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                                    "3\r\nabc\r\n0\r\n\r\n");
  EXPECT_EQ(statusOf(chunked), 200) << chunked;
  EXPECT_TRUE(chunked.ends_with("\r\n\r\n3")) << chunked;
}

TEST_F(Loopback, AnHttp11RequestWithoutHostIsRefused) {
  site.write("a.txt", "static");
  start();
  std::string without = exchangeRaw(server->port(), "GET /a.txt HTTP/1.1\r\n\r\n");
  EXPECT_EQ(statusOf(without), 400) << without;
  EXPECT_EQ(without.find("static"), std::string::npos);
  std::string old = exchangeRaw(server->port(), "GET /a.txt HTTP/1.0\r\n\r\n");
  EXPECT_EQ(statusOf(old), 200) << old;
  EXPECT_TRUE(old.ends_with("static"));
}

TEST_F(Loopback, UrlEncodedBodiesHaveTheFormLimitOthersTheRequestLimit) {
  site.write("p.asp", "<%= Request.TotalBytes %>");
  start();
  std::size_t limit = site.site().settings().maxFormBytes;
  ASSERT_EQ(limit, 2u << 20);
  auto post = [&](const char* type, std::size_t size) {
    http::request<http::string_body> r{http::verb::post, "/p.asp", 11};
    r.set(http::field::content_type, type);
    r.body() = std::string(size, 'a');
    return send(std::move(r));
  };
  EXPECT_EQ(post("application/x-www-form-urlencoded", limit).body(), std::to_string(limit));
  auto big = post("Application/X-WWW-Form-UrlEncoded; charset=utf-8", limit + 1);
  EXPECT_EQ(big.result_int(), 413);
  EXPECT_FALSE(big.keep_alive());
  socket = tcp::socket(io);
  socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), server->port()));
  EXPECT_EQ(post("multipart/form-data; boundary=x", limit + 1).body(), std::to_string(limit + 1));
  // A chunked form is cut off where it passes the limit.
  std::string chunk(limit / 2 + 1, 'a');
  std::string got = exchangeRaw(
      server->port(),
      "POST /p.asp HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded"
      "\r\nTransfer-Encoding: chunked\r\n\r\n" +
          host::chunk(chunk) + host::chunk(chunk) + "0\r\n\r\n");
  EXPECT_EQ(statusOf(got), 413) << got.substr(0, 100);
}

TEST_F(Loopback, ConnectionsBeyondTheCapAreRefused) {
  site.write("a.txt", "static");
  start([](HttpSettings& s) { s.maxConnections = 2; });
  EXPECT_EQ(get("/a.txt").body(), "static");  // the fixture's connection is one
  net::io_context io2;
  tcp::socket second(io2);
  second.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), server->port()));
  std::string third = exchangeRaw(server->port(), "GET /a.txt HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_EQ(statusOf(third), 503) << third;
  EXPECT_NE(third.find("Retry-After: 1"), std::string::npos);
  second.close();
  std::string later;
  for (int i = 0; i < 50 && statusOf(later) != 200; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    later =
        exchangeRaw(server->port(), "GET /a.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
  }
  EXPECT_EQ(statusOf(later), 200) << "a closed connection frees its place";
}

TEST_F(Loopback, BodiesBeyondTheBytesInFlightAreRefused) {
  site.write("p.asp", "<%= Request.TotalBytes %>");
  start([](HttpSettings& s) { s.maxBodyBytesInFlight = 1000; });
  // A slow client announces 800 bytes and sends half of them.
  std::string head =
      "POST /p.asp HTTP/1.1\r\nHost: x\r\nContent-Type: application/octet-stream\r\n";
  net::write(socket, net::buffer(head + "Content-Length: 800\r\n\r\n" + std::string(400, 'a')));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::string refused =
      exchangeRaw(server->port(), head + "Content-Length: 300\r\n\r\n" + std::string(300, 'b'));
  EXPECT_EQ(statusOf(refused), 503) << refused;
  std::string fits =
      exchangeRaw(server->port(), head + "Content-Length: 200\r\nConnection: close\r\n\r\n" +
                                      std::string(200, 'b'));
  EXPECT_TRUE(fits.ends_with("\r\n\r\n200")) << fits;
  net::write(socket, net::buffer(std::string(400, 'a')));
  http::response<http::string_body> slow;
  http::read(socket, buffer, slow);
  EXPECT_EQ(slow.body(), "800");
  std::string after =
      exchangeRaw(server->port(), head + "Content-Length: 900\r\nConnection: close\r\n\r\n" +
                                      std::string(900, 'c'));
  EXPECT_TRUE(after.ends_with("\r\n\r\n900")) << "received bodies give their bytes back";
}

}  // namespace
}  // namespace host
