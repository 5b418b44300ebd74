// Makes the ADO classes creatable by ProgID.
#include "ado/ado.h"
#include "ado/class_ids.h"
#include "ado/stream.h"

namespace ado {

void registerClasses(automation::ClassRegistry& registry) {
  registry.add({u"ADODB.Connection", kConnectionClsid, u"_Connection", kConnectionIid,
                [] { return automation::ObjectRef(std::make_shared<Connection>()); }});
  registry.add({u"ADODB.Recordset", kRecordsetClsid, u"_Recordset", kRecordsetIid,
                [] { return automation::ObjectRef(std::make_shared<Recordset>()); }});
  registry.add({u"ADODB.Command", kCommandClsid, u"_Command", kCommandIid,
                [] { return automation::ObjectRef(std::make_shared<Command>()); }});
  registry.add({u"ADODB.Stream", kStreamClsid, u"_Stream", kStreamIid,
                [] { return automation::ObjectRef(std::make_shared<Stream>()); }});
}

}  // namespace ado
