#include "http_server.h"

#include <utility>  // Boost 1.74's asio uses std::exchange without including it

#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <optional>

namespace host {
namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace {

class AccessLog {
 public:
  explicit AccessLog(std::FILE* out) : out_(out) {}
  void write(const std::string& remote, const http::request<http::string_body>& request,
             const HttpReply& reply, std::size_t bytes, std::chrono::steady_clock::duration took) {
    if (!out_) return;
    double ms = std::chrono::duration<double, std::milli>(took).count();
    char timing[32];
    std::snprintf(timing, sizeof timing, "%.1fms", ms);
    std::string line = remote + " \"" + std::string(request.method_string()) + " " +
                       std::string(request.target()) + "\" " + std::to_string(reply.status) + " " +
                       std::to_string(bytes) + " " + timing;
    if (reply.failure) line += " " + reply.failure->summary();
    line += "\n";
    std::lock_guard lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
  std::mutex mutex_;
};

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, const HttpSettings& settings, SiteHandler& site, AccessLog& log)
      : stream_(std::move(socket)), settings_(settings), site_(site), log_(log) {
    error_code ec;
    auto endpoint = stream_.socket().remote_endpoint(ec);
    if (!ec) remote_ = endpoint.address().to_string();
  }

  void start() { readHeader(); }

 private:
  void readHeader() {
    parser_.emplace();
    parser_->header_limit(static_cast<std::uint32_t>(settings_.maxHeaderBytes));
    parser_->body_limit(settings_.maxRequestBytes);
    stream_.expires_after(settings_.readTimeout);
    http::async_read_header(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](error_code ec, std::size_t) { self->onHeader(ec); });
  }

  void onHeader(error_code ec) {
    if (ec) return failRead(ec);
    started_ = std::chrono::steady_clock::now();
    if (beast::iequals(parser_->get()[http::field::expect], "100-continue")) {
      auto go = std::make_shared<http::response<http::empty_body>>(http::status::continue_, 11);
      http::async_write(stream_, *go, [self = shared_from_this(), go](error_code ec, std::size_t) {
        if (!ec) self->readBody();
      });
      return;
    }
    readBody();
  }

  void readBody() {
    stream_.expires_after(settings_.readTimeout);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](error_code ec, std::size_t) {
                       if (ec) return self->failRead(ec);
                       self->respond();
                     });
  }

  // Limits give an answer before the connection closes; other failures just close it.
  void failRead(error_code ec) {
    if (ec == http::error::body_limit) return reject(413, "Payload Too Large");
    if (ec == http::error::header_limit) return reject(431, "Request Header Fields Too Large");
    if (ec == http::error::end_of_stream || ec == beast::error::timeout) return close();
    if (ec.category() == http::make_error_code(http::error::bad_target).category()) {
      return reject(400, "Bad Request");
    }
    close();
  }

  void reject(int status, const char* reason) {
    auto response = std::make_shared<http::response<http::string_body>>();
    response->result(status);
    response->reason(reason);
    response->set(http::field::content_type, "text/plain; charset=utf-8");
    response->body() = std::to_string(status) + " " + reason + "\n";
    response->keep_alive(false);
    response->prepare_payload();
    stream_.expires_after(settings_.readTimeout);
    http::async_write(
        stream_, *response,
        [self = shared_from_this(), response](error_code, std::size_t) { self->close(); });
  }

  void respond() {
    http::request<http::string_body>& request = parser_->get();
    HttpReply reply;
    try {
      reply = site_.handle(toPageRequest(request));
    } catch (const std::exception& e) {
      reply = HttpReply{500,
                        "Internal Server Error",
                        {{"Content-Type", "text/plain"}},
                        std::string("500 ") + e.what() + "\n",
                        std::nullopt};
    }
    response_ = std::make_shared<http::response<http::string_body>>();
    response_->version(request.version());
    response_->result(reply.status);
    response_->reason(reply.reason);
    for (const auto& [name, value] : reply.headers) response_->insert(name, value);
    response_->body() = std::move(reply.body);
    response_->keep_alive(request.keep_alive());
    response_->prepare_payload();
    if (request.method() == http::verb::head) response_->content_length(0);
    log_.write(remote_, request, reply, response_->body().size(),
               std::chrono::steady_clock::now() - started_);
    bool keepAlive = response_->keep_alive();
    stream_.expires_after(settings_.readTimeout);
    http::async_write(stream_, *response_,
                      [self = shared_from_this(), keepAlive](error_code ec, std::size_t) {
                        if (ec || !keepAlive) return self->close();
                        self->response_.reset();
                        self->readHeader();
                      });
  }

  PageRequest toPageRequest(http::request<http::string_body>& request) const {
    PageRequest r;
    r.method = std::string(request.method_string());
    r.url = std::string(request.target());
    r.body = std::move(request.body());
    r.contentType = std::string(request[http::field::content_type]);
    for (const auto& field : request) {
      r.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
    }
    r.remoteAddress = remote_;
    auto host = request[http::field::host];
    std::string_view hostHeader(host.data(), host.size());
    r.serverName = std::string(hostHeader.substr(0, hostHeader.find(':')));
    error_code ec;
    auto local = stream_.socket().local_endpoint(ec);
    if (!ec) r.serverPort = local.port();
    return r;
  }

  void close() {
    error_code ec;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ec);
    stream_.close();
  }

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::shared_ptr<http::response<http::string_body>> response_;
  const HttpSettings& settings_;
  SiteHandler& site_;
  AccessLog& log_;
  std::string remote_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace

struct HttpServer::Impl {
  Impl(HttpSettings s, SiteHandler& h)
      : settings(std::move(s)), site(h), log(settings.accessLog), acceptor(ioc) {}

  void accept() {
    acceptor.async_accept(net::make_strand(ioc), [this](error_code ec, tcp::socket socket) {
      if (!acceptor.is_open()) return;
      if (!ec) {
        socket.set_option(tcp::no_delay(true), ec);
        std::make_shared<Connection>(std::move(socket), settings, site, log)->start();
      }
      accept();
    });
  }

  HttpSettings settings;
  SiteHandler& site;
  AccessLog log;
  net::io_context ioc;
  tcp::acceptor acceptor;
  std::vector<std::thread> workers;
};

HttpServer::HttpServer(HttpSettings settings, SiteHandler& site)
    : impl_(std::make_unique<Impl>(std::move(settings), site)) {}

HttpServer::~HttpServer() { stop(); }

void HttpServer::start() {
  tcp::endpoint endpoint(net::ip::make_address(impl_->settings.bind), impl_->settings.port);
  impl_->acceptor.open(endpoint.protocol());
  impl_->acceptor.set_option(net::socket_base::reuse_address(true));
  impl_->acceptor.bind(endpoint);
  impl_->acceptor.listen(net::socket_base::max_listen_connections);
  impl_->accept();
  for (int i = 0; i < std::max(1, impl_->settings.threads); ++i) {
    impl_->workers.emplace_back([this] { impl_->ioc.run(); });
  }
}

void HttpServer::stop() {
  if (impl_->workers.empty()) return;
  net::post(impl_->ioc, [this] {
    error_code ec;
    impl_->acceptor.close(ec);
  });
  impl_->ioc.stop();
  for (auto& t : impl_->workers) t.join();
  impl_->workers.clear();
}

unsigned short HttpServer::port() const { return impl_->acceptor.local_endpoint().port(); }

}  // namespace host
