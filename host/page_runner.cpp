#include "page_runner.h"

#include <cstdio>

#include "page_application.h"
#include "script_runtime.h"
#include "script_text.h"
#include "site_paths.h"

namespace host {
namespace fs = std::filesystem;
using automation::fromUtf8;
using automation::InvokeKind;
using automation::ObjectRef;
using automation::toUtf8;
using automation::Variant;

std::string PageFailure::summary() const {
  char code_[16];
  std::snprintf(code_, sizeof code_, "%08X", static_cast<unsigned>(code));
  std::string where_ = where.file;
  if (where.line > 0) where_ += ":" + std::to_string(where.line);
  return "error " + std::string(code_) + ": " + toUtf8(description) + " (" + where_ + ")";
}

Text errorBlock(const PageFailure& failure) {
  return u"\r\n<div class=hostError style='border:1px solid #c00;color:#c00;background:#fff;"
         u"padding:4px;margin:4px;font:12px monospace'>" +
         asp::Server::HTMLEncode(fromUtf8(failure.summary())) + u"</div>\r\n";
}

namespace {

// The objects of one page, and those that Server.CreateObject bound to it.
class PageBinding {
 public:
  explicit PageBinding(const automation::ClassRegistry& registry) : registry_(registry) {}

  void setContext(std::shared_ptr<asp::ScriptingContext> context) { context_ = std::move(context); }

  ObjectRef create(automation::TextView progId) {
    ObjectRef object = registry_.create(progId);
    if (object->hasMember(u"OnStartPage")) {
      std::vector<Variant> args{Variant(ObjectRef(context_))};
      object->invoke(u"OnStartPage", InvokeKind::Method, args);
      started_.push_back(object);
    }
    return object;
  }

  // OnEndPage for every bound object, in creation order; the first failure is reported.
  std::optional<automation::AutomationError> endPage() {
    std::optional<automation::AutomationError> first;
    for (const ObjectRef& object : started_) {
      if (!object->hasMember(u"OnEndPage")) continue;
      try {
        object->invoke(u"OnEndPage", InvokeKind::Method);
      } catch (const automation::AutomationError& e) {
        if (!first) first = e;
      }
    }
    started_.clear();
    context_.reset();
    return first;
  }

 private:
  const automation::ClassRegistry& registry_;
  std::shared_ptr<asp::ScriptingContext> context_;
  std::vector<ObjectRef> started_;
};

class ResponseOutput : public PageOutput {
 public:
  ResponseOutput(const CompiledSource& source, asp::Response& response)
      : source_(source), response_(response) {}
  void writeChunk(std::size_t index) override {
    if (index < source_.chunks.size()) response_.write(source_.chunks[index]);
  }
  void writeValue(const Variant& value) override { response_.Write(value); }

 private:
  const CompiledSource& source_;
  asp::Response& response_;
};

std::string upperVariable(std::string_view name) {
  std::string out = "HTTP_";
  for (char c : name)
    out += c == '-' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

void addCookies(asp::Request& request, std::string_view header, int codePage) {
  while (!header.empty()) {
    std::size_t semicolon = header.find(';');
    std::string_view pair = header.substr(0, semicolon);
    header =
        semicolon == std::string_view::npos ? std::string_view() : header.substr(semicolon + 1);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    std::size_t eq = pair.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    request.setCookie(asp::urlDecode(pair.substr(0, eq), codePage),
                      asp::urlDecode(pair.substr(eq + 1), codePage));
  }
}

std::shared_ptr<asp::Request> buildRequest(const PageRequest& r, int codePage, const fs::path& file,
                                           const fs::path& root) {
  auto request = std::make_shared<asp::Request>();
  request->setCodePage(codePage);
  request->setQueryString(r.query);
  request->setBody(r.body, r.contentType);
  auto set = [&](std::u16string_view name, const std::string& value) {
    request->setServerVariable(name, fromUtf8(value));
  };
  set(u"URL", r.url);
  set(u"SCRIPT_NAME", r.url);
  set(u"PATH_INFO", r.url);
  set(u"PATH_TRANSLATED", file.string());
  set(u"APPL_PHYSICAL_PATH", root.string() + "/");
  set(u"QUERY_STRING", r.query);
  set(u"REQUEST_METHOD", r.method);
  set(u"CONTENT_TYPE", r.contentType);
  set(u"CONTENT_LENGTH", std::to_string(r.body.size()));
  set(u"REMOTE_ADDR", r.remoteAddress);
  set(u"REMOTE_HOST", r.remoteAddress);
  set(u"SERVER_NAME", r.serverName);
  set(u"SERVER_PORT", std::to_string(r.serverPort));
  set(u"SERVER_PROTOCOL", "HTTP/1.1");
  for (const auto& [name, value] : r.headers) {
    request->setServerVariable(fromUtf8(upperVariable(name)), fromUtf8(value));
    if (lowerAscii(name) == "cookie") addCookies(*request, value, codePage);
  }
  return request;
}

std::string charsetName(int codePage) {
  switch (codePage) {
    case 65001:
      return "utf-8";
    case 936:
      return "gbk";
    default:
      return "windows-" + std::to_string(codePage);
  }
}

void parseStatus(const Text& status, PageResponse& out) {
  std::string s = toUtf8(status);
  try {
    std::size_t used = 0;
    out.status = std::stoi(s, &used);
    out.reason = used < s.size() ? s.substr(used + 1) : std::string();
  } catch (const std::exception&) {
    out.status = 200;
    out.reason = "OK";
  }
}

PageResponse toHttp(const asp::Response& response, int codePage) {
  PageResponse out;
  parseStatus(response.Status, out);
  std::string contentType = toUtf8(response.ContentType);
  if (contentType.starts_with("text/")) {
    std::string charset =
        response.Charset.empty() ? charsetName(codePage) : toUtf8(response.Charset);
    contentType += "; charset=" + charset;
  }
  out.headers.emplace_back("Content-Type", contentType);
  for (const auto& [name, value] : response.headers()) {
    out.headers.emplace_back(toUtf8(name), toUtf8(value));
  }
  out.body = codePage == 65001 ? toWireUtf8(response.text())
                               : automation::encodeCodePage(response.text(), codePage);
  out.body += response.binary();
  return out;
}

PageResponse compileFailure(const PageCompileError& e) {
  PageFailure failure{automation::hr::kFail, fromUtf8(e.what()), e.where()};
  asp::Response response;
  response.write(errorBlock(failure));
  PageResponse out = toHttp(response, 65001);
  out.status = 500;
  out.reason = "Internal Server Error";
  out.failure = failure;
  return out;
}

}  // namespace

PageRunner::PageRunner(SiteSettings settings, const automation::ClassRegistry& registry,
                       std::shared_ptr<asp::Application> application)
    : settings_(std::move(settings)),
      registry_(registry),
      application_(std::move(application)),
      cache_(settings_.root) {}

PageResponse PageRunner::run(const std::string& page, const PageRequest& r,
                             const std::shared_ptr<asp::Session>& session) {
  std::shared_ptr<const Program> program;
  try {
    program = cache_.get(page);
  } catch (const PageCompileError& e) {
    return compileFailure(e);
  }
  const CompiledSource& source = program->source();
  const fs::path& file = source.dependencies.front().first;

  auto binding = std::make_shared<PageBinding>(registry_);
  std::weak_ptr<PageBinding> weakBinding = binding;
  std::string folder = siteFolder(page);
  fs::path root = settings_.root;
  auto server = std::make_shared<asp::Server>(
      [weakBinding](automation::TextView progId) {
        auto b = weakBinding.lock();
        if (!b) automation::throwObjectNotSet();
        return b->create(progId);
      },
      [folder, root](automation::TextView path) {
        auto normalized = normalizeSitePath(folder, toUtf8(path));
        if (!normalized) automation::throwInvalidProcedureCall();
        auto existing = resolveSitePath(root, *normalized);
        return fromUtf8((existing ? *existing : root / *normalized).string());
      },
      source.codePage);
  server->ScriptTimeout = static_cast<std::int32_t>(
      std::chrono::duration_cast<std::chrono::seconds>(settings_.scriptTimeout).count());

  asp::PageObjects objects{buildRequest(r, source.codePage, file, root),
                           std::make_shared<asp::Response>(), server, session, application_};
  auto context = std::make_shared<asp::ScriptingContext>(objects);
  binding->setContext(context);
  auto application = std::make_shared<PageApplication>(application_);
  Globals globals{{"Request", objects.request},
                  {"Response", objects.response},
                  {"Session", objects.session},
                  {"Application", application},
                  {"Server", objects.server}};

  ResponseOutput output(source, *objects.response);
  auto error = ScriptHeap::forThisThread().run(*program, globals, output,
                                               Clock::now() + settings_.scriptTimeout);
  std::optional<PageFailure> failure;
  if (error) {
    failure = PageFailure{error->code, error->description, source.locate(error->scriptLine)};
    if (error->scriptLine == 0) failure->where.line = 0;
  }
  application->releaseLocks();
  if (auto endError = binding->endPage(); endError && !failure) {
    failure = PageFailure{endError->code(), endError->description(), {page, 0}};
  }

  if (failure) objects.response->write(errorBlock(*failure));
  PageResponse out = toHttp(*objects.response, source.codePage);
  if (failure) {
    out.status = 500;
    out.reason = "Internal Server Error";
    out.failure = failure;
  }
  return out;
}

}  // namespace host
