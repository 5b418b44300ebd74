// Server: the page host's services. Creating objects, mapping paths, running other pages and
// the error being handled belong to the host, which hands them in as functions.
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

  // Server.Execute and Server.Transfer run another page of the site in the same request (and
  // Transfer then ends the calling page); GetLastError gives the ASPError being handled.
  struct PageCalls {
    std::function<void(TextView path)> execute;
    std::function<void(TextView path)> transfer;
    std::function<ObjectRef()> lastError;
  };

  Server(Creator creator, PathMapper mapper, int codePage = 65001)
      : creator_(std::move(creator)), mapper_(std::move(mapper)), codePage_(codePage) {}
  const automation::TypeInfo& typeInfo() const override;
  void setPageCalls(PageCalls calls) { pageCalls_ = std::move(calls); }

  ObjectRef CreateObject(TextView progId) const;
  Text MapPath(TextView path) const;
  Text URLEncode(TextView s) const;
  // Percent-encodes what may not stand in a URL path (blanks, controls, bytes beyond ASCII in
  // the page's code page, `%"<>\^`{|}#`); the query, from the first "?", stays as it is.
  Text URLPathEncode(TextView s) const;
  static Text HTMLEncode(TextView s);
  void Execute(TextView path) const;
  void Transfer(TextView path) const;
  ObjectRef GetLastError() const;
  std::int32_t ScriptTimeout = 90;

 private:
  Creator creator_;
  PathMapper mapper_;
  int codePage_;
  PageCalls pageCalls_;
};

}  // namespace asp
