// Helpers of the engine's tests: a host that collects output, a Response-like object and a
// one-call way to run a script and read what it wrote (or the error that ended it).
#pragma once

#include <functional>
#include <map>
#include <string>

#include "vbscript/engine.h"

namespace vbscript::test {

class Writer : public automation::Dispatch {
 public:
  explicit Writer(Text& out) : out_(out) {}
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        automation::MemberTable<Writer>(u"_Response", u"")
            .sub(u"Write", {automation::byVal(u"v")},
                 [](Writer& w, automation::Args a) { w.out_ += automation::joinText(a[0]); })
            .build();
    return info;
  }

 private:
  Text& out_;
};

class TestHost : public Host {
 public:
  Text out;
  std::vector<Text> literals;
  std::map<Text, std::function<ObjectRef()>> classes;
  std::function<Poll()> onPoll;
  int polls = 0;

  void writeLiteral(int n) override { out += literals.at(static_cast<std::size_t>(n)); }
  void write(const Variant& v) override { out += automation::joinText(v); }
  ObjectRef createObject(TextView progId) override {
    auto it = classes.find(Text(progId));
    if (it == classes.end()) automation::throwInvalidClassString();
    return it->second();
  }
  Poll poll() override {
    ++polls;
    return onPoll ? onPoll() : Poll::Continue;
  }
};

// Runs `code` with a Response object; gives what it wrote, followed by
// "|error <number> <description> line <n>" when an error ended it.
inline std::string run(const std::string& code, TestHost* useHost = nullptr,
                       std::vector<NamedObject> extra = {}) {
  TestHost local;
  TestHost& host = useHost ? *useHost : local;
  Piece piece{Piece::Kind::Code, automation::fromUtf8(code), 0, {0, 1}};
  std::shared_ptr<const Program> program;
  try {
    program = compile(std::span<const Piece>(&piece, 1), {{u"Response"}});
  } catch (const CompileError& e) {
    return "compile " + std::to_string(e.error().number) + " " + automation::toUtf8(e.error().description) +
           " line " + std::to_string(e.error().origin.line);
  }
  extra.push_back({u"Response", std::make_shared<Writer>(host.out)});
  std::optional<ScriptError> error;
  {
    Run r(program, host, extra);
    error = r.execute();
  }
  std::string result = automation::toUtf8(host.out);
  if (error) {
    result += "|error " + std::to_string(error->number) + " " + automation::toUtf8(error->description) +
              " line " + std::to_string(error->origin.line);
  }
  return result;
}

}  // namespace vbscript::test
