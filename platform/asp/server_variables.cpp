// The server variables of a request, named and ordered as the classic host gives them, with
// one HTTP_ variable per received header and ALL_HTTP / ALL_RAW over all of them. Variables
// of features this host has not (client certificates, Windows log-on) are there and empty,
// as they are on the classic host when the feature is unused. They are made from what describe()
// kept when a page first reads one.
#include <string>

#include "request.h"

namespace asp {
namespace {

std::string httpVariableName(std::string_view header) {
  std::string out = "HTTP_";
  for (char c : header) {
    out += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return out;
}

bool isCookieHeader(std::string_view name) {
  constexpr std::string_view kCookie = "cookie";
  if (name.size() != kCookie.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != kCookie[i]) return false;
  }
  return true;
}

}  // namespace

void Request::describe(HttpRequestInfo info) {
  for (const auto& [name, value] : info.headers) {
    if (isCookieHeader(name)) addCookieHeader(value);
  }
  if (described_) addServerVariables(*described_);
  described_ = std::make_unique<HttpRequestInfo>(std::move(info));
}

const ValueCollection& Request::serverVariables() const {
  if (described_) {
    auto info = std::move(described_);
    addServerVariables(*info);
  }
  return *serverVariables_;
}

void Request::addServerVariables(const HttpRequestInfo& r) const {
  std::string allHttp, allRaw;
  for (const auto& [name, value] : r.headers) {
    allHttp += httpVariableName(name) + ":" + value + "\n";
    allRaw += name + ": " + value + "\r\n";
  }
  const std::string port = std::to_string(r.serverPort);
  const std::pair<const char16_t*, std::string> variables[] = {
      {u"ALL_HTTP", allHttp},
      {u"ALL_RAW", allRaw},
      {u"APPL_MD_PATH", "/LM/W3SVC/1/ROOT"},
      {u"APPL_PHYSICAL_PATH", r.applicationFolder},
      {u"AUTH_PASSWORD", ""},
      {u"AUTH_TYPE", ""},
      {u"AUTH_USER", ""},
      {u"CERT_COOKIE", ""},
      {u"CERT_FLAGS", ""},
      {u"CERT_ISSUER", ""},
      {u"CERT_KEYSIZE", ""},
      {u"CERT_SECRETKEYSIZE", ""},
      {u"CERT_SERIALNUMBER", ""},
      {u"CERT_SERVER_ISSUER", ""},
      {u"CERT_SERVER_SUBJECT", ""},
      {u"CERT_SUBJECT", ""},
      {u"CONTENT_LENGTH", std::to_string(r.contentLength)},
      {u"CONTENT_TYPE", r.contentType},
      {u"GATEWAY_INTERFACE", "CGI/1.1"},
      {u"HTTPS", r.https ? "on" : "off"},
      {u"HTTPS_KEYSIZE", ""},
      {u"HTTPS_SECRETKEYSIZE", ""},
      {u"HTTPS_SERVER_ISSUER", ""},
      {u"HTTPS_SERVER_SUBJECT", ""},
      {u"INSTANCE_ID", "1"},
      {u"INSTANCE_META_PATH", "/LM/W3SVC/1"},
      {u"LOCAL_ADDR", r.localAddress},
      {u"LOGON_USER", ""},
      {u"PATH_INFO", r.path},
      {u"PATH_TRANSLATED", r.pageFile},
      {u"QUERY_STRING", r.query},
      {u"REMOTE_ADDR", r.remoteAddress},
      {u"REMOTE_HOST", r.remoteAddress},
      {u"REMOTE_PORT", std::to_string(r.remotePort)},
      {u"REMOTE_USER", ""},
      {u"REQUEST_METHOD", r.method},
      {u"SCRIPT_NAME", r.path},
      {u"SERVER_NAME", r.serverName},
      {u"SERVER_PORT", port},
      {u"SERVER_PORT_SECURE", r.https ? "1" : "0"},
      {u"SERVER_PROTOCOL", r.protocol},
      {u"SERVER_SOFTWARE", "balance-host"},
      {u"URL", r.path},
  };
  // The fixed names are distinct and upper-case already, and no header's name can meet them
  // (those all begin "HTTP_"): on a fresh request they go in without a search each.
  const bool fresh = serverVariables_->empty();
  for (const auto& [name, value] : variables) {
    if (fresh) {
      serverVariables_->add(name, automation::fromUtf8(value));
    } else {
      serverVariables_->replace(name, automation::fromUtf8(value));
    }
  }
  for (const auto& [name, value] : r.headers) {
    serverVariables_->replace(automation::fromUtf8(httpVariableName(name)),
                              automation::fromUtf8(value));
  }
}

}  // namespace asp
