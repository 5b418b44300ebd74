// The HTTP edge: one Connection per socket, on the I/O thread of its io_context. A request is read
// (header first, so that "Expect: 100-continue" is answered before the body comes), handed to the
// site, and the reply written from a queue of buffers once the site answers, possibly from a page
// worker.
#include "http_server.h"

#include <sys/socket.h>

#include <utility>  // Boost 1.74's asio uses std::exchange without including it

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast.hpp>
#include <deque>
#include <optional>
#include <thread>
#include <vector>

#include "http_wire.h"

namespace host {
namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using boost::system::error_code;

namespace {

// How long a closing connection still takes in what its client sends.
constexpr std::chrono::seconds kLinger{2};

class AccessLog {
 public:
  explicit AccessLog(std::FILE* out) : out_(out) {}
  bool on() const { return out_ != nullptr; }
  void write(const std::string& line) {
    std::lock_guard lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
  std::mutex mutex_;
};

// What all connections hold at once, against the edge's caps.
struct EdgeLoad {
  std::atomic<std::size_t> connections{0};
  std::atomic<std::size_t> bodyBytes{0};

  bool reserveBody(std::size_t bytes, std::size_t cap) {
    std::size_t now = bodyBytes.load();
    do {
      if (now + bytes > cap) return false;
    } while (!bodyBytes.compare_exchange_weak(now, now + bytes));
    return true;
  }
};

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, const HttpSettings& settings, Site& site, AccessLog& log,
             EdgeLoad& load)
      : stream_(std::move(socket)), settings_(settings), site_(site), log_(log), load_(load) {
    error_code ec;
    auto remote = stream_.socket().remote_endpoint(ec);
    if (!ec) {
      remote_ = remote.address().to_string();
      remotePort_ = remote.port();
    }
    auto local = stream_.socket().local_endpoint(ec);
    if (!ec) {
      local_ = local.address().to_string();
      localPort_ = local.port();
    }
  }

  ~Connection() {
    releaseBody();
    --load_.connections;
  }

  void start() { readHeader(); }

  // From the site, on any thread.
  void sendPart(HttpReply head, std::string body) {
    net::dispatch(stream_.get_executor(), [self = shared_from_this(), head = std::move(head),
                                           body = std::move(body)]() mutable {
      self->part(std::move(head), std::move(body));
    });
  }
  void finish(HttpReply reply) {
    net::dispatch(stream_.get_executor(),
                  [self = shared_from_this(), reply = std::move(reply)]() mutable {
                    self->complete(std::move(reply));
                  });
  }
  // Whether the peer is still there: a closed socket reads as end of stream at once.
  bool peerConnected() const {
    char byte;
    int fd = const_cast<beast::tcp_stream&>(stream_).socket().native_handle();
    ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n > 0 || (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
  }

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
    const auto& request = parser_->get();
    onStart(request);
    // "chunked, identity" or "xchunked" would leave the body to be read as another request.
    if (request.count(http::field::transfer_encoding) && !parser_->chunked()) {
      return reject(400, "Bad Request");
    }
    if (request.version() >= 11 && !request.count(http::field::host)) {
      return reject(400, "Bad Request");
    }
    if (parser_->is_done()) return onRequest();
    std::size_t limit = settings_.maxRequestBytes;
    auto type = request[http::field::content_type];
    if (isUrlEncodedForm(std::string_view(type.data(), type.size()))) {
      limit = std::min(limit, site_.settings().maxFormBytes);
    }
    auto length = parser_->content_length();
    if (length && *length > limit) return reject(413, "Payload Too Large");
    parser_->body_limit(limit);
    // A chunked body may grow to the limit: that much is held for it.
    std::size_t reserve = length ? static_cast<std::size_t>(*length) : limit;
    if (!load_.reserveBody(reserve, settings_.maxBodyBytesInFlight)) {
      return reject(503, "Service Unavailable");
    }
    reservedBody_ = reserve;
    if (beast::iequals(parser_->get()[http::field::expect], "100-continue")) {
      queue("HTTP/1.1 100 Continue\r\n\r\n");
    }
    stream_.expires_after(settings_.readTimeout);
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](error_code ec, std::size_t) {
                       if (ec) return self->failRead(ec);
                       self->onRequest();
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
    releaseBody();
    keepAlive_ = false;
    head_ = false;
    HttpReply reply = plainReply(status, reason);
    if (status == 503) reply.headers.emplace_back("Retry-After", "1");
    complete(std::move(reply));
  }

  void releaseBody() {
    load_.bodyBytes -= reservedBody_;
    reservedBody_ = 0;
  }

  void onStart(const http::request<http::string_body>& request) {
    head_ = request.method() == http::verb::head;
    keepAlive_ = request.keep_alive();
    version_ = request.version() >= 11 ? 11 : 10;
    method_ = std::string(request.method_string());
    target_ = std::string(request.target());
    streamed_ = false;
    buffered_.reset();
    bytes_ = 0;
  }

  void onRequest() {
    releaseBody();
    http::request<http::string_body>& request = parser_->get();
    onStart(request);
    PageRequest r;
    r.method = method_;
    r.target = target_;
    r.body = std::move(request.body());
    r.contentType = std::string(request[http::field::content_type]);
    for (const auto& field : request) {
      r.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
    }
    r.remoteAddress = remote_;
    r.remotePort = remotePort_;
    r.localAddress = local_;
    auto host = request[http::field::host];
    std::string_view hostHeader(host.data(), host.size());
    r.serverName = std::string(hostHeader.substr(0, hostHeader.find(':')));
    r.serverPort = localPort_;
    r.httpVersion = version_;
    parser_.reset();
    site_.submit(std::move(r), std::make_shared<Channel>(shared_from_this()));
  }

  class Channel : public ReplyChannel {
   public:
    explicit Channel(std::shared_ptr<Connection> connection) : connection_(std::move(connection)) {}
    void sendPart(const HttpReply& head, std::string body) override {
      connection_->sendPart(head, std::move(body));
    }
    void finish(HttpReply reply) override { connection_->finish(std::move(reply)); }
    bool clientConnected() const override { return connection_->peerConnected(); }

   private:
    std::shared_ptr<Connection> connection_;
  };

  // A flushed part of a page's reply. A HEAD request or a 1.0 client gets the reply whole.
  void part(HttpReply head, std::string body) {
    if (head_ || version_ < 11) {
      if (!buffered_) {
        buffered_ = std::move(head);
        buffered_->body.clear();
      }
      buffered_->body += body;
      return;
    }
    if (!streamed_) {
      streamed_ = true;
      status_ = head.status;
      queue(replyHead(head, {std::nullopt, keepAlive_, version_}));
    }
    bytes_ += body.size();
    queue(chunk(body));
  }

  void complete(HttpReply reply) {
    if (buffered_) {
      buffered_->body += reply.body;
      buffered_->failure = std::move(reply.failure);
      reply = std::move(*buffered_);
      buffered_.reset();
    }
    if (streamed_) {
      bytes_ += reply.body.size();
      queue(chunk(reply.body));
      queue(std::string(kLastChunk));
    } else {
      status_ = reply.status;
      bytes_ = reply.body.size();
      queue(replyHead(reply, {reply.body.size(), keepAlive_, version_}));
      if (!head_) queue(std::move(reply.body));
    }
    logExchange(reply);
    exchangeDone_ = true;
    if (!writing_) afterExchange();
  }

  void logExchange(const HttpReply& reply) {
    if (!log_.on()) return;
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_)
            .count();
    char timing[32];
    std::snprintf(timing, sizeof timing, "%.1fms", ms);
    std::string line = remote_ + " \"" + method_ + " " + target_ + "\" " + std::to_string(status_) +
                       " " + std::to_string(bytes_) + " " + timing;
    if (reply.failure) line += " " + failureSummary(*reply.failure);
    log_.write(line + "\n");
  }

  void queue(std::string bytes) {
    if (bytes.empty()) return;
    out_.push_back(std::move(bytes));
    if (!writing_) writeQueued();
  }

  void writeQueued() {
    writing_ = true;
    inFlight_.clear();
    while (!out_.empty()) {
      inFlight_.push_back(std::move(out_.front()));
      out_.pop_front();
    }
    buffers_.clear();
    for (const std::string& s : inFlight_) buffers_.emplace_back(s.data(), s.size());
    stream_.expires_after(settings_.readTimeout);
    net::async_write(stream_, buffers_, [self = shared_from_this()](error_code ec, std::size_t) {
      self->writing_ = false;
      if (ec) return self->close();
      if (!self->out_.empty()) return self->writeQueued();
      if (self->exchangeDone_) self->afterExchange();
    });
  }

  // The whole reply is out: the next request, or the end.
  void afterExchange() {
    exchangeDone_ = false;
    if (!keepAlive_) return close();
    readHeader();
  }

  // A lingering close: what the client still sends (the rest of a refused body) is read and
  // dropped for a moment, so the kernel does not reset the connection before the client has
  // read the reply.
  void close() {
    error_code ec;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ec);
    if (ec) return stream_.close();
    stream_.expires_after(kLinger);
    drain();
  }

  void drain() {
    stream_.async_read_some(buffer_.prepare(16 * 1024),
                            [self = shared_from_this()](error_code ec, std::size_t) {
                              if (ec) return self->stream_.close();
                              self->drain();
                            });
  }

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  const HttpSettings& settings_;
  Site& site_;
  AccessLog& log_;
  EdgeLoad& load_;
  std::size_t reservedBody_ = 0;  // of load_.bodyBytes, while the body is being read
  std::string remote_;
  unsigned short remotePort_ = 0;
  std::string local_;
  unsigned short localPort_ = 0;
  // The exchange under way.
  std::chrono::steady_clock::time_point started_;
  std::string method_;
  std::string target_;
  bool head_ = false;
  bool keepAlive_ = true;
  int version_ = 11;
  bool streamed_ = false;
  std::optional<HttpReply> buffered_;
  int status_ = 0;
  std::size_t bytes_ = 0;
  bool exchangeDone_ = false;
  // Writing.
  std::deque<std::string> out_;
  std::vector<std::string> inFlight_;
  std::vector<net::const_buffer> buffers_;
  bool writing_ = false;
};

}  // namespace

// One io_context per I/O thread: a connection lives on one thread from accept to close, so its
// handlers need no strand and the threads never hand work to each other.
struct HttpServer::Impl {
  Impl(HttpSettings s, Site& site) : settings(std::move(s)), site(site), log(settings.accessLog) {
    for (int i = 0; i < std::max(1, settings.ioThreads); ++i) {
      contexts.push_back(std::make_unique<net::io_context>(1));
    }
    acceptor.emplace(*contexts.front());
  }

  void accept() {
    net::io_context& context = *contexts[next++ % contexts.size()];
    acceptor->async_accept(context, [this](error_code ec, tcp::socket socket) {
      if (!acceptor->is_open()) return;
      if (!ec && ++load.connections > settings.maxConnections) {
        --load.connections;
        refuse(socket);
      } else if (!ec) {
        socket.set_option(tcp::no_delay(true), ec);
        std::make_shared<Connection>(std::move(socket), settings, site, log, load)->start();
      }
      accept();
    });
  }

  // A few bytes on a fresh socket: the write does not wait.
  static void refuse(tcp::socket& socket) {
    HttpReply busy = plainReply(503, "Service Unavailable");
    busy.headers.emplace_back("Retry-After", "1");
    std::string bytes = replyHead(busy, {busy.body.size(), false, 11}) + busy.body;
    error_code ec;
    net::write(socket, net::buffer(bytes), ec);
    socket.shutdown(tcp::socket::shutdown_both, ec);
    socket.close(ec);
  }

  HttpSettings settings;
  Site& site;
  AccessLog log;
  EdgeLoad load;
  std::vector<std::unique_ptr<net::io_context>> contexts;
  std::optional<tcp::acceptor> acceptor;
  std::size_t next = 0;
  std::vector<std::thread> threads;
};

HttpServer::HttpServer(HttpSettings settings, Site& site)
    : impl_(std::make_unique<Impl>(std::move(settings), site)) {}

HttpServer::~HttpServer() { stop(); }

void HttpServer::start() {
  tcp::endpoint endpoint(net::ip::make_address(impl_->settings.bind), impl_->settings.port);
  tcp::acceptor& acceptor = *impl_->acceptor;
  acceptor.open(endpoint.protocol());
  acceptor.set_option(net::socket_base::reuse_address(true));
  acceptor.bind(endpoint);
  acceptor.listen(net::socket_base::max_listen_connections);
  impl_->accept();
  for (auto& context : impl_->contexts) {
    impl_->threads.emplace_back([&context] {
      auto work = net::make_work_guard(*context);
      context->run();
    });
  }
}

void HttpServer::stop() {
  if (impl_->threads.empty()) return;
  net::post(*impl_->contexts.front(), [this] {
    error_code ec;
    impl_->acceptor->close(ec);
  });
  for (auto& context : impl_->contexts) context->stop();
  for (auto& t : impl_->threads) t.join();
  impl_->threads.clear();
}

unsigned short HttpServer::port() const { return impl_->acceptor->local_endpoint().port(); }

}  // namespace host
