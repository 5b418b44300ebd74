// Request: the page's view of one HTTP request. Collections are case-insensitive by key;
// through the typed C++ API an absent key reads as an empty variant and several values under
// one key are joined by ", ", as the components expect. Scripts reach the same data through
// collection objects (request_collections.h). Query string and url-encoded form are decoded
// in the page's code page (65001 or 936).
#pragma once

#include <memory>
#include <string>

#include "asp/request_collections.h"
#include "asp/url_encoding.h"
#include "asp/value_collection.h"
#include "automation/object.h"

namespace asp {

// What the host knows of one request beyond its query string and body; describe() reads the
// cookies from its headers and keeps it for the server variables the classic host gives, which
// are made when a page first reads one (most pages read none, or only a few).
struct HttpRequestInfo {
  std::string method = "GET";
  std::string path;  // the URL path of the page, without the query
  std::string query;
  std::string protocol = "HTTP/1.1";
  bool https = false;
  std::string serverName;
  int serverPort = 80;
  std::string localAddress;
  std::string remoteAddress;
  int remotePort = 0;
  std::string pageFile;           // the page's file on this host
  std::string applicationFolder;  // the site root, ending in "/"
  std::string contentType;
  std::size_t contentLength = 0;
  std::vector<std::pair<std::string, std::string>> headers;  // as received, in order
};

class Request : public automation::Dispatch {
 public:
  Request();
  const automation::TypeInfo& typeInfo() const override;

  // Filled by whoever builds the request: the page host or a test.
  void setCodePage(int codePage) { codePage_ = codePage; }
  void setQueryString(std::string raw);  // without "?"
  void setBody(std::string bytes, std::string contentType);
  void describe(HttpRequestInfo info);
  void setServerVariable(TextView name, Text value);
  // A cookie whose value is decoded already; its keys are read from it.
  void setCookie(Text name, Text value);
  // Every cookie of a Cookie header, names, values and keys decoded in the page's code page.
  void addCookieHeader(std::string_view header);

  Variant QueryString(TextView key) const { return query_->get(key); }
  Text QueryStringAll() const;  // the raw query string, as Request.QueryString without key
  Variant Form(TextView key) const { return form().get(key); }
  Text FormAll() const;
  Variant Cookies(TextView key) const;  // the whole value
  Variant ServerVariables(TextView name) const { return serverVariables().get(name); }
  // Request(key): QueryString, Form, Cookies, ServerVariables, in that order.
  Variant Item(TextView key) const;
  std::int32_t TotalBytes() const { return static_cast<std::int32_t>(totalBytes_); }
  // Reads up to `count` further bytes of the raw body; `count` becomes the number read. A read
  // of the whole body hands the buffer over instead of copying it: the body is consumed, as
  // reading it is on the classic host, while an url-encoded form stays readable.
  Variant::Bytes BinaryRead(std::int32_t& count);

  // The collections as scripts see them.
  std::shared_ptr<RequestCollection> queryStringCollection() const;
  std::shared_ptr<RequestCollection> formCollection() const;
  std::shared_ptr<RequestCollection> serverVariablesCollection() const;
  std::shared_ptr<RequestCookies> cookiesCollection() const;
  // Request(key) as scripts see it: the value list or cookie where the key is found first.
  Variant itemObject(TextView key) const;

 private:
  const ValueCollection& form() const;
  const ValueCollection& serverVariables() const;
  void addServerVariables(const HttpRequestInfo& info) const;

  int codePage_ = 65001;
  std::string rawQuery_;
  std::shared_ptr<ValueCollection> query_;
  Variant::Bytes body_;
  std::size_t totalBytes_ = 0;
  std::string contentType_;
  std::size_t readPos_ = 0;
  mutable std::shared_ptr<ValueCollection> form_;  // parsed when first read
  std::shared_ptr<std::vector<CookieData>> cookies_;
  std::shared_ptr<ValueCollection> serverVariables_;    // names upper-cased
  mutable std::unique_ptr<HttpRequestInfo> described_;  // not yet in serverVariables_
};

}  // namespace asp
