// The class registry: ProgID and CLSID to factory, and the type libraries that describe
// the registered classes. The page host's Server.CreateObject creates through it.
#pragma once

#include <functional>
#include <vector>

#include "object.h"

namespace automation {

struct ClassInfo {
  Text progId;         // "balance.DNA"
  Text clsid;          // "{EAB29593-9DE1-41EB-B481-708F425344A5}"
  Text interfaceName;  // "_DNA"
  Text iid;
  std::function<ObjectRef()> create;
};

struct TypeLibraryInfo {
  Text name;
  Text guid;
  int major = 1;
  int minor = 0;
};

class ClassRegistry {
 public:
  void add(ClassInfo info);
  void addTypeLibrary(TypeLibraryInfo info) { libraries_.push_back(std::move(info)); }

  // By ProgID (case-insensitive) or by CLSID in braces; nullptr when unknown.
  const ClassInfo* find(TextView progIdOrClsid) const;
  // Raises "invalid class string" (0x800401F3) for an unknown name.
  ObjectRef create(TextView progIdOrClsid) const;

  const std::vector<ClassInfo>& classes() const { return classes_; }
  const std::vector<TypeLibraryInfo>& typeLibraries() const { return libraries_; }

 private:
  std::vector<ClassInfo> classes_;
  std::vector<TypeLibraryInfo> libraries_;
};

}  // namespace automation
