// Reply heads and chunks, and the Date header, formatted once a second per thread.
#include "http_wire.h"

#include <ctime>

namespace host {

namespace {

void appendClean(std::string& out, std::string_view s) {
  for (char c : s) out += c == '\r' || c == '\n' ? ' ' : c;
}

std::string_view httpDate() {
  thread_local std::time_t formatted = 0;
  thread_local char text[40];
  std::time_t now = std::time(nullptr);
  if (now != formatted) {
    std::tm tm{};
    gmtime_r(&now, &tm);
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    formatted = now;
  }
  return text;
}

}  // namespace

std::string replyHead(const HttpReply& reply, const WireFraming& framing) {
  std::string out;
  out.reserve(256);
  out += "HTTP/1.1 ";
  out += std::to_string(reply.status);
  out += ' ';
  appendClean(out, reply.reason);
  out += "\r\n";
  for (const auto& [name, value] : reply.headers) {
    appendClean(out, name);
    out += ": ";
    appendClean(out, value);
    out += "\r\n";
  }
  out += "Date: ";
  out += httpDate();
  out += "\r\n";
  if (framing.contentLength) {
    out += "Content-Length: ";
    out += std::to_string(*framing.contentLength);
    out += "\r\n";
  } else {
    out += "Transfer-Encoding: chunked\r\n";
  }
  if (!framing.keepAlive) {
    out += "Connection: close\r\n";
  } else if (framing.httpVersion < 11) {
    out += "Connection: keep-alive\r\n";
  }
  out += "\r\n";
  return out;
}

std::string chunk(std::string_view body) {
  if (body.empty()) return {};
  char size[24];
  int n = std::snprintf(size, sizeof size, "%zx\r\n", body.size());
  std::string out(size, static_cast<std::size_t>(n));
  out.append(body);
  out += "\r\n";
  return out;
}

}  // namespace host
