// Objects the script itself makes, as late-bound objects the rest of the system can hold and
// call: instances of the script's classes (so a page can hand one to a component or keep it
// in Session), Err, and GetRef's procedure references. Each keeps its run alive.
#pragma once

#include "runtime.h"

namespace vbscript {

class ScriptObject : public automation::Dispatch {
 public:
  ScriptObject(std::shared_ptr<Runtime> runtime, const Program& program, int cls);
  ~ScriptObject() override;  // runs Class_Terminate

  const automation::TypeInfo& typeInfo() const override { return *def_->typeInfo; }
  const ClassDef& classDef() const { return *def_; }
  const Program& program() const { return *program_; }
  Runtime& runtime() const { return *runtime_; }
  void initialize();  // fixed-size array fields, then Class_Initialize

  std::vector<Variant> fields;

 private:
  std::shared_ptr<Runtime> runtime_;
  const Program* program_;
  const ClassDef* def_;
};

// The member table of a class: its public members, by name, with their parameters, so that
// components and other engines call them through invoke.
void buildTypeInfo(ClassDef& def, const Program& program);

ObjectRef makeErrObject(std::weak_ptr<Runtime> weak, Runtime* runtime);
ObjectRef makeProcedureRef(std::shared_ptr<Runtime> runtime, const Program& program, int proc);

}  // namespace vbscript
