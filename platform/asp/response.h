// Response: collects what the page writes. Text is kept as UTF-16 and encoded into the
// page's code page only when the host sends it.
//
// Output is buffered until the page ends or calls Flush. What a Flush hands to the host's
// sink is sent and stays sent: Clear drops only what was written after it, and from then on
// the status, headers and cookies can no longer change. With Buffer off every write goes to
// the sink at once. Without a sink (a render, a test) flushed output stays in text(), marked
// as sent.
#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "asp/response_cookies.h"
#include "automation/object.h"

namespace asp {

using automation::Text;
using automation::TextView;
using automation::Variant;

// Thrown by Response.End and Response.Redirect: the page stops, what it wrote is sent.
struct ResponseEnd {};

class Response : public automation::Dispatch {
 public:
  // Receives flushed output: text not yet sent, then bytes of BinaryWrite. On its first call
  // the host sends the status line and headers() before the body.
  using FlushSink = std::function<void(Response& response, Text text, std::string binary)>;

  Response();
  const automation::TypeInfo& typeInfo() const override;

  // Set by the host.
  void setFlushSink(FlushSink sink) { sink_ = std::move(sink); }
  void setClientConnected(std::function<bool()> probe) { clientConnected_ = std::move(probe); }
  // Called before output is added, with the bytes the reply would then hold (text counted as
  // UTF-8, flushed output included); raises to refuse the output. The host caps a reply's size
  // and stops a page past its deadline with it, also when a component does the writing.
  void setWriteCheck(std::function<void(std::size_t outputBytes)> check) {
    writeCheck_ = std::move(check);
  }

  void Write(const Variant& v);  // the value's text; empty and null write nothing
  void write(TextView s);
  void BinaryWrite(const Variant& bytes);
  void Clear();  // drops what is not sent yet
  void Flush();
  [[noreturn]] void End();
  [[noreturn]] void Redirect(TextView url);
  void AddHeader(Text name, Text value);
  void setCookie(Text name, Text value) { cookies_->cookie(name)->setValue(std::move(value)); }
  ResponseCookies& cookies() { return *cookies_; }

  bool Buffer() const { return buffer_; }
  void setBuffer(bool on);
  // Minutes from now (negative: already expired); ExpiresAbsolute is a local date. When both
  // are set the sooner wins.
  void setExpires(std::int32_t minutes);
  std::int32_t Expires() const { return expiresMinutes_; }
  void setExpiresAbsolute(automation::Date local);
  bool IsClientConnected() const { return !clientConnected_ || clientConnected_(); }
  bool headersSent() const { return headersSent_; }

  // Header fields the host reads; script puts are refused once the headers are sent.
  Text ContentType = u"text/html";
  Text Charset;
  Text Status = u"200 OK";
  Text CacheControl;
  std::int32_t CodePage = 65001;

  const Text& text() const { return text_; }             // written and not handed to a sink
  const std::string& binary() const { return binary_; }  // BinaryWrite bytes, after the text
  // AddHeader's headers, then Cache-Control, Expires and one Set-Cookie per cookie.
  std::vector<std::pair<Text, Text>> headers() const;

 private:
  void checkHeadersOpen() const;
  void checkWrite(std::size_t adding) const;
  std::size_t heldBytes() const { return textBytes_ + binary_.size(); }

  Text text_;
  std::string binary_;
  std::size_t sentText_ = 0;  // kept without a sink: the first bytes already flushed
  std::size_t sentBinary_ = 0;
  std::vector<std::pair<Text, Text>> headers_;
  std::shared_ptr<ResponseCookies> cookies_;
  bool buffer_ = true;
  bool headersSent_ = false;
  std::int32_t expiresMinutes_ = 0;
  std::optional<std::time_t> expiresAt_;
  FlushSink sink_;
  std::function<bool()> clientConnected_;
  std::function<void(std::size_t)> writeCheck_;
  std::size_t textBytes_ = 0;     // of text_, as UTF-8
  std::size_t flushedBytes_ = 0;  // handed to the sink
};

}  // namespace asp
