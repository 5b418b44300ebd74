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
    return "compile " + std::to_string(e.error().number) + " " +
           automation::toUtf8(e.error().description) + " line " +
           std::to_string(e.error().origin.line);
  }
  extra.push_back({u"Response", std::make_shared<Writer>(host.out)});
  std::optional<ScriptError> error;
  {
    Run r(program, host, extra);
    error = r.execute();
  }
  std::string result = automation::toUtf8(host.out);
  if (error) {
    result += "|error " + std::to_string(error->number) + " " +
              automation::toUtf8(error->description) + " line " +
              std::to_string(error->origin.line);
  }
  return result;
}

// A component as the host's registry gives them: Trim takes its first argument by reference
// and trims it in place (the second goes by value), Item is the default member, For Each
// visits "a", "b", 3, Fail raises the component's own error, and Inner is a property without
// parameters whose value is another component.
class Component : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override {
    using automation::Args;
    using automation::byRef;
    using automation::byVal;
    static const automation::TypeInfo info =
        automation::MemberTable<Component>(u"_Component", u"")
            .function(u"Trim", {byRef(u"strSQL"), byVal(u"copy")},
                      [](Component&, Args a) {
                        a[0] = Variant(automation::trim(automation::toText(a[0])));
                        a[1] = Variant(u"lost");
                        return Variant(true);
                      })
            .property(
                u"Item", {byVal(u"key")},
                [](Component& c, Args a) { return Variant(c.prefix + automation::toText(a[0])); },
                [](Component& c, Args a, const Variant& v) {
                  c.prefix = automation::toText(a[0]) + automation::toText(v);
                })
            .asDefault()
            .sub(u"Fail", {},
                 [](Component&, Args) {
                   throw automation::AutomationError(static_cast<automation::HRESULT>(0x80040201),
                                                     u"Test.Component", u"it failed");
                 })
            .readOnly(u"Inner",
                      [](Component& c, Args) {
                        if (!c.inner) c.inner = std::make_shared<Component>();
                        return Variant(ObjectRef(c.inner));
                      })
            .build();
    return info;
  }
  std::optional<std::vector<Variant>> enumerate() override {
    return std::vector<Variant>{Variant(u"a"), Variant(u"b"), Variant(3)};
  }
  Text prefix = u"#";
  std::shared_ptr<Component> inner;
};

// Runs `code` with CreateObject("Test.Component") at hand.
inline std::string runWithComponent(const std::string& code) {
  TestHost host;
  host.classes[u"Test.Component"] = [] { return std::make_shared<Component>(); };
  return run(code, &host);
}

// What Response.Write writes for `expr`.
inline std::string written(const std::string& expr) { return run("Response.Write " + expr); }

// "TypeName:value" of `expr`, to see the subtype an operation gives along with its value.
inline std::string typed(const std::string& expr) {
  return run("x = " + expr + "\nResponse.Write TypeName(x) & \":\" & x");
}

// Runs `code` under On Error Resume Next; what it wrote, then the number of the error last
// raised (0 for none).
inline std::string errorOf(const std::string& code) {
  return run("On Error Resume Next\n" + code + "\nResponse.Write Err.Number");
}

}  // namespace vbscript::test
