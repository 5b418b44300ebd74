// Buffering, flushing and the header fields of the response, and its script members.
#include "response.h"

#include <chrono>

#include "asp/asp_errors.h"
#include "asp/http_dates.h"

namespace asp {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::ObjectRef;
using automation::toText;

Response::Response()
    : cookies_(std::make_shared<ResponseCookies>([this] { return headersSent_; })) {}

void Response::Write(const Variant& v) { write(automation::joinText(v)); }

namespace {

// Every write of a page passes here, mostly ASCII markup: four units are tested at once.
std::size_t utf8Bytes(TextView s) {
  const auto bytesOf = [](char16_t c) -> std::size_t {
    return c < 0x80 ? 1 : c < 0x800 || (c >= 0xD800 && c < 0xE000) ? 2 : 3;
  };
  std::size_t n = 0;
  std::size_t i = 0;
  for (; i + 4 <= s.size(); i += 4) {
    if (automation::isAsciiQuad(automation::quadAt(s.data() + i))) {
      n += 4;
      continue;
    }
    for (std::size_t k = i; k < i + 4; ++k) n += bytesOf(s[k]);
  }
  for (; i < s.size(); ++i) n += bytesOf(s[i]);
  return n;
}

}  // namespace

void Response::checkWrite(std::size_t adding) const {
  if (writeCheck_) writeCheck_(flushedBytes_ + heldBytes() + adding);
}

void Response::write(TextView s) {
  std::size_t bytes = utf8Bytes(s);
  checkWrite(bytes);
  text_ += s;
  textBytes_ += bytes;
  if (!buffer_ && sink_) Flush();
}

void Response::BinaryWrite(const Variant& bytes) {
  const auto& b = bytes.bytes();
  checkWrite(b.size());
  binary_.append(b.begin(), b.end());
  if (!buffer_ && sink_) Flush();
}

void Response::Clear() {
  if (!buffer_) throwBufferingOff();
  if (text_.size() != sentText_) {
    textBytes_ -= utf8Bytes(TextView(text_).substr(sentText_));
    text_.resize(sentText_);
  }
  binary_.resize(sentBinary_);
}

void Response::Flush() {
  headersSent_ = true;
  if (sink_) {
    flushedBytes_ += heldBytes();
    textBytes_ = 0;
    sink_(*this, std::exchange(text_, {}), std::exchange(binary_, {}));
  } else {
    sentText_ = text_.size();
    sentBinary_ = binary_.size();
  }
}

void Response::End() { throw ResponseEnd{}; }

void Response::Redirect(TextView url) {
  checkHeadersOpen();
  Status = u"302 Object moved";
  AddHeader(u"Location", Text(url));
  End();
}

void Response::checkHeadersOpen() const {
  if (headersSent_) throwHeadersWritten();
}

void Response::AddHeader(Text name, Text value) {
  checkHeadersOpen();
  headers_.emplace_back(std::move(name), std::move(value));
}

void Response::setBuffer(bool on) {
  if (on != buffer_) checkHeadersOpen();
  buffer_ = on;
}

void Response::setExpires(std::int32_t minutes) {
  checkHeadersOpen();
  expiresMinutes_ = minutes;
  std::time_t at = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()) +
                   std::time_t{minutes} * 60;
  expiresAt_ = expiresAt_ ? std::min(*expiresAt_, at) : at;
}

void Response::setExpiresAbsolute(automation::Date local) {
  checkHeadersOpen();
  std::time_t at = fromLocalDate(local);
  expiresAt_ = expiresAt_ ? std::min(*expiresAt_, at) : at;
}

std::vector<std::pair<Text, Text>> Response::headers() const {
  std::vector<std::pair<Text, Text>> all = headers_;
  if (!CacheControl.empty()) all.emplace_back(u"Cache-Control", CacheControl);
  if (expiresAt_) all.emplace_back(u"Expires", httpDate(*expiresAt_));
  for (const auto& c : cookies_->all()) all.emplace_back(u"Set-Cookie", c->header(CodePage));
  return all;
}

const automation::TypeInfo& Response::typeInfo() const {
  // A header field as scripts assign it: refused once the headers are sent.
  auto headerField = [](Text Response::*field) {
    return std::pair{[field](Response& r, Args) { return Variant(r.*field); },
                     [field](Response& r, Args, const Variant& v) {
                       r.checkHeadersOpen();
                       r.*field = toText(v);
                     }};
  };
  auto [getType, putType] = headerField(&Response::ContentType);
  auto [getCharset, putCharset] = headerField(&Response::Charset);
  auto [getStatus, putStatus] = headerField(&Response::Status);
  auto [getCache, putCache] = headerField(&Response::CacheControl);
  static const automation::TypeInfo info =
      MemberTable<Response>(u"IResponse", u"")
          .sub(u"Write", {byVal(u"varText")}, [](Response& r, Args a) { r.Write(a[0]); })
          .sub(u"BinaryWrite", {byVal(u"varData")},
               [](Response& r, Args a) { r.BinaryWrite(a[0]); })
          .sub(u"Redirect", {byVal(u"bstrURL")},
               [](Response& r, Args a) { r.Redirect(toText(a[0])); })
          .sub(u"End", {}, [](Response& r, Args) { r.End(); })
          .sub(u"Clear", {}, [](Response& r, Args) { r.Clear(); })
          .sub(u"Flush", {},
               [](Response& r, Args) {
                 if (!r.Buffer()) throwBufferingOff();
                 r.Flush();
               })
          .sub(u"AddHeader", {byVal(u"bstrHeaderName"), byVal(u"bstrHeaderValue")},
               [](Response& r, Args a) { r.AddHeader(toText(a[0]), toText(a[1])); })
          .sub(u"AppendToLog", {byVal(u"bstrLogEntry")}, [](Response&, Args) {})
          .property(u"ContentType", {}, getType, putType, u"pbstrContentTypeRet")
          .property(u"Charset", {}, getCharset, putCharset, u"pvarCharset")
          .property(u"Status", {}, getStatus, putStatus, u"pbstrStatusRet")
          .property(u"CacheControl", {}, getCache, putCache, u"pbstrCacheControl")
          .property(
              u"Buffer", {}, [](Response& r, Args) { return Variant(r.Buffer()); },
              [](Response& r, Args, const Variant& v) { r.setBuffer(automation::toBool(v)); },
              u"fIsBuffering")
          .property(
              u"Expires", {}, [](Response& r, Args) { return Variant(r.Expires()); },
              [](Response& r, Args, const Variant& v) { r.setExpires(automation::toInt32(v)); },
              u"lExpiresMinutes")
          .writeOnly(u"ExpiresAbsolute", u"dtExpires",
                     [](Response& r, Args, const Variant& v) {
                       r.setExpiresAbsolute(automation::toDate(v));
                     })
          .field(u"CodePage", &Response::CodePage)
          .readOnly(u"IsClientConnected",
                    [](Response& r, Args) { return Variant(r.IsClientConnected()); })
          .property(
              u"Cookies", {automation::optionalByVal(u"bstrName")},
              [](Response& r, Args a) {
                if (a[0].isMissing()) return Variant(ObjectRef(r.cookies_));
                return Variant(ObjectRef(r.cookies().cookie(toText(a[0]))));
              },
              [](Response& r, Args a, const Variant& v) {
                r.cookies().cookie(toText(a[0]))->setValue(automation::joinText(v));
              },
              u"bstrValue")
          .build();
  return info;
}

}  // namespace asp
