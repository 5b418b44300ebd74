// Server: the page host's services. Creating objects and mapping paths belong to the host,
// which hands them in as functions.
#pragma once

#include <functional>

#include "automation/object.h"

namespace asp {

using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

class Server : public automation::Dispatch {
 public:
  using Creator = std::function<ObjectRef(TextView progId)>;
  using PathMapper = std::function<Text(TextView virtualPath)>;

  Server(Creator creator, PathMapper mapper, int codePage = 65001)
      : creator_(std::move(creator)), mapper_(std::move(mapper)), codePage_(codePage) {}
  const automation::TypeInfo& typeInfo() const override;

  ObjectRef CreateObject(TextView progId) const;
  Text MapPath(TextView path) const;
  Text URLEncode(TextView s) const;
  static Text HTMLEncode(TextView s);
  std::int32_t ScriptTimeout = 90;

 private:
  Creator creator_;
  PathMapper mapper_;
  int codePage_;
};

}  // namespace asp
