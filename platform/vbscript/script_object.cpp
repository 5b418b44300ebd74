// Script objects: class instances, Err and procedure references. Calls from outside come in
// through the member table and run on the run's interpreter like any other call.
#include "script_object.h"

#include "elements.h"
#include "errors.h"

namespace vbscript {

using automation::Dispatch;
using automation::MemberInfo;
using automation::ParamInfo;

ScriptObject::ScriptObject(std::shared_ptr<Runtime> runtime, const Program& program, int cls)
    : runtime_(std::move(runtime)), program_(&program), def_(&program.classes[cls]) {
  fields.resize(def_->fields.size());
}

void ScriptObject::initialize() {
  for (const DimItem& a : def_->fieldArrays) {
    std::vector<std::int32_t> uppers;
    for (const auto& b : a.bounds) uppers.push_back(automation::toInt32(b->value));
    for (std::size_t f = 0; f < def_->fields.size(); ++f) {
      if (automation::equalsIgnoreCase(def_->fields[f], a.name)) {
        fields[f] = uppers.empty() ? Variant(Variant::Array{}) : redimensioned({}, uppers, false);
      }
    }
  }
  if (def_->initialize >= 0) runtime_->callProcedure(*program_, def_->initialize, {}, this);
}

ScriptObject::~ScriptObject() {
  if (def_->terminate < 0) return;
  // An error inside Class_Terminate has nowhere to go: the object is already being released.
  try {
    runtime_->callProcedure(*program_, def_->terminate, {}, this);
  } catch (...) {
  }
}

void buildTypeInfo(ClassDef& def, const Program& program) {
  std::vector<MemberInfo> members;
  for (std::size_t i = 0; i < def.members.size(); ++i) {
    const ClassMember& m = def.members[i];
    if (!m.isPublic) continue;
    MemberInfo info;
    info.name = m.name;
    int index = static_cast<int>(i);
    int shape = m.get >= 0 ? m.get : m.sub >= 0 ? m.sub : m.let >= 0 ? m.let : m.set;
    if (shape >= 0) {
      const Procedure& p = program.procs[shape];
      std::size_t n = p.byRef.size();
      if (shape == m.let || shape == m.set) --n;  // the assigned value is not an index
      for (std::size_t k = 0; k < n; ++k) {
        info.params.push_back(ParamInfo{p.localNames[k], static_cast<bool>(p.byRef[k]), false});
      }
    }
    info.kind = m.sub >= 0                                 ? MemberInfo::Kind::Sub
                : m.field >= 0 || m.let >= 0 || m.set >= 0 ? MemberInfo::Kind::Property
                                                           : MemberInfo::Kind::Function;
    info.isDefault = def.defaultMember == index;
    if (m.field >= 0 || m.get >= 0 || m.sub >= 0) {
      info.get = [index](Dispatch& d, automation::Args a) {
        auto& o = static_cast<ScriptObject&>(d);
        return o.runtime().callMember(o, index, InvokeMode::Get, a);
      };
    }
    if (m.field >= 0 || m.let >= 0 || m.set >= 0) {
      info.put = [index](Dispatch& d, automation::Args a, const Variant& v) {
        auto& o = static_cast<ScriptObject&>(d);
        std::vector<Variant> args(a.begin(), a.end());
        args.push_back(v);
        o.runtime().callMember(o, index, v.isObject() ? InvokeMode::PutRef : InvokeMode::Put,
                               automation::Args(args));
        for (std::size_t k = 0; k < a.size(); ++k) a[k] = std::move(args[k]);
      };
    }
    members.push_back(std::move(info));
  }
  def.typeInfo = std::make_shared<automation::TypeInfo>(def.name, u"", std::move(members));
}

namespace {

// Err: Number (the default member), Description, Source, HelpFile, HelpContext, Raise, Clear.
class ErrObject : public Dispatch {
 public:
  ErrObject(std::weak_ptr<Runtime> weak, Runtime* rt) : weak_(std::move(weak)), rt_(rt) {}

  const automation::TypeInfo& typeInfo() const override {
    using automation::byVal;
    using automation::optionalByVal;
    static const automation::TypeInfo info =
        automation::MemberTable<ErrObject>(u"ErrObject", u"")
            .property(
                u"Number", {}, [](ErrObject& e, Args) { return Variant(e.state().number); },
                [](ErrObject& e, Args, const Variant& v) {
                  e.state().number = automation::toInt32(v);
                })
            .asDefault()
            .property(
                u"Description", {},
                [](ErrObject& e, Args) { return Variant(e.state().description); },
                [](ErrObject& e, Args, const Variant& v) {
                  e.state().description = automation::toText(v);
                })
            .property(
                u"Source", {}, [](ErrObject& e, Args) { return Variant(e.state().source); },
                [](ErrObject& e, Args, const Variant& v) {
                  e.state().source = automation::toText(v);
                })
            .property(
                u"HelpFile", {}, [](ErrObject& e, Args) { return Variant(e.state().helpFile); },
                [](ErrObject& e, Args, const Variant& v) {
                  e.state().helpFile = automation::toText(v);
                })
            .property(
                u"HelpContext", {},
                [](ErrObject& e, Args) { return Variant(e.state().helpContext); },
                [](ErrObject& e, Args, const Variant& v) {
                  e.state().helpContext = automation::toInt32(v);
                })
            .sub(u"Raise",
                 {byVal(u"Number"), optionalByVal(u"Source"), optionalByVal(u"Description"),
                  optionalByVal(u"HelpFile"), optionalByVal(u"HelpContext")},
                 [](ErrObject&, Args a) { raiseFromScript(a); })
            .sub(u"Clear", {}, [](ErrObject& e, Args) { e.state() = Runtime::ErrState(); })
            .build();
    return info;
  }

 private:
  Runtime::ErrState& state() {
    if (weak_.expired()) raise(err::kObjectNotSet);
    return rt_->err;
  }

  [[noreturn]] static void raiseFromScript(Args a) {
    std::int32_t number = automation::toInt32(a[0]);
    if (number == 0) raise(err::kInvalidCall);
    automation::HRESULT code = (number > 0 && number <= 0xFFFF) ? hresultOf(number) : number;
    Text source = a[1].isMissing() ? Text(kRuntimeSource) : automation::toText(a[1]);
    Text description;
    if (!a[2].isMissing())
      description = automation::toText(a[2]);
    else if (number > 0 && number <= 0xFFFF)
      description = Text(errorText(number));
    if (description.empty() && a[2].isMissing()) description = u"Unknown runtime error";
    throw automation::AutomationError(code, std::move(source), std::move(description));
  }

  std::weak_ptr<Runtime> weak_;
  Runtime* rt_;
};

// GetRef: a procedure as an object whose default member calls it.
class ProcedureRef : public Dispatch {
 public:
  ProcedureRef(std::shared_ptr<Runtime> rt, const Program& program, int proc)
      : rt_(std::move(rt)), program_(&program), proc_(proc) {
    std::vector<MemberInfo> members(1);
    members[0].name = u"Call";
    members[0].isDefault = true;
    for (std::size_t i = 0; i < program.procs[proc].byRef.size(); ++i) {
      members[0].params.push_back(ParamInfo{program.procs[proc].localNames[i],
                                            static_cast<bool>(program.procs[proc].byRef[i]),
                                            false});
    }
    members[0].get = [](Dispatch& d, Args a) {
      auto& self = static_cast<ProcedureRef&>(d);
      return self.rt_->callProcedure(*self.program_, self.proc_, a, nullptr);
    };
    info_ = std::make_unique<automation::TypeInfo>(u"Procedure", u"", std::move(members));
  }
  const automation::TypeInfo& typeInfo() const override { return *info_; }

 private:
  std::shared_ptr<Runtime> rt_;
  const Program* program_;
  int proc_;
  std::unique_ptr<automation::TypeInfo> info_;
};

}  // namespace

ObjectRef makeErrObject(std::weak_ptr<Runtime> weak, Runtime* runtime) {
  return std::make_shared<ErrObject>(std::move(weak), runtime);
}

ObjectRef makeProcedureRef(std::shared_ptr<Runtime> runtime, const Program& program, int proc) {
  return std::make_shared<ProcedureRef>(std::move(runtime), program, proc);
}

}  // namespace vbscript
