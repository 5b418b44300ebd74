// The bytes of a reply on the wire: the status line and header block (with the length of the
// body, or chunked when the body is sent as a page flushes it), and chunks. Header names and
// values are cleaned of line breaks, so that nothing a page puts into a header can start a
// header or a reply of its own.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "exchange.h"

namespace host {

struct WireFraming {
  std::optional<std::size_t> contentLength;  // nullopt: Transfer-Encoding: chunked
  bool keepAlive = true;
  int httpVersion = 11;  // of the request: a 1.0 client is told it is kept alive
};

std::string replyHead(const HttpReply& reply, const WireFraming& framing);
// One chunk of a chunked body; empty for an empty body (a zero chunk would end the body).
std::string chunk(std::string_view body);
inline constexpr std::string_view kLastChunk = "0\r\n\r\n";

}  // namespace host
