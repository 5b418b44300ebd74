// Page events, the debug switch, the small helpers every concern of the class shares, and the
// member table through which page scripts call the class by name.
#include "dna/dna.h"

#include "frame/class_ids.h"

namespace dna {

using automation::Args;
using automation::byRef;
using automation::MemberTable;
using automation::objectAs;

Variant DNA::OnStartPage(Variant& sc) {
  page_.bind(sc);
  strAction.clear();
  bDebug = false;
  return {};
}

Variant DNA::OnEndPage() {
  // Stored even when empty: the next page compares it to tell where the user came from.
  setSession(u"strURL", strURL);
  page_.release();
  return {};
}

void DNA::DebugMode() {
  bDebug = true;
  trace(u"##调试信息:进入调试模式<br>\r\n");
}

void DNA::trace(TextView text) { frame::writeTrace(page_.response(), text); }

void DNA::debugTrace(TextView text) {
  if (bDebug) trace(text);
}

Variant DNA::session(TextView key) const { return page_.session().get(key); }

void DNA::setSession(TextView key, Variant value) { page_.session().set(key, std::move(value)); }

bool DNA::isChosen(TextView column) const {
  return automation::contains(automation::joinText(session(u"strItemChose")), column);
}

bool DNA::hasCodeLookup(std::size_t i) const {
  return automation::trim(codeSQL(i)) != automation::trim(field(i));
}

namespace {

const Text& entry(const std::vector<Text>& list, std::size_t i) {
  if (i >= list.size()) automation::throwSubscriptOutOfRange();
  return list[i];
}

}  // namespace

const Text& DNA::field(std::size_t i) const { return entry(aFields, i); }
const Text& DNA::caption(std::size_t i) const { return entry(aChinese, i); }
const Text& DNA::codeSQL(std::size_t i) const { return entry(aCodeSQL, i); }

namespace {

// Arguments arrive in interface order; a script's recordset argument must be a recordset.
ado::Recordset& recordsetArg(Args a, std::size_t i) { return *objectAs<ado::Recordset>(a[i]); }

automation::TypeInfo describeDNA() {
  MemberTable<DNA> t(frame::kDNA.interfaceName, frame::kDNA.iid);
  t.field(u"strAction", &DNA::strAction)
      .field(u"nAccessLevel", &DNA::nAccessLevel)
      .field(u"nPage", &DNA::nPage)
      .field(u"nPageSize", &DNA::nPageSize)
      .field(u"strItemKeyName", &DNA::strItemKeyName)
      .field(u"nItemKeyValue", &DNA::nItemKeyValue)
      .field(u"strItemEnglish", &DNA::strItemEnglish)
      .field(u"strItemChinese", &DNA::strItemChinese)
      .field(u"strItemCodeSQL", &DNA::strItemCodeSQL);
  t.sub(u"OpenDNA", {byRef(u"ConnStr"), byRef(u"strSQL"), byRef(u"StrChinese")},
        [](DNA& d, Args a) { d.OpenDNA(a[0], a[1], a[2]); })
      .sub(u"CloseDNA", {}, [](DNA& d, Args) { d.CloseDNA(); })
      .sub(u"SetCodeSQL", {byRef(u"StrCodeSQL")}, [](DNA& d, Args a) { d.SetCodeSQL(a[0]); })
      .sub(u"DispForm", {byRef(u"strAction")}, [](DNA& d, Args a) { d.DispForm(a[0]); })
      .sub(u"DispList", {}, [](DNA& d, Args) { d.DispList(); })
      .sub(u"DispSetColumns", {}, [](DNA& d, Args) { d.DispSetColumns(); })
      .sub(u"GetList", {byRef(u"objRs")}, [](DNA& d, Args a) { d.GetList(recordsetArg(a, 0)); })
      .sub(u"GetRs", {byRef(u"strSQL"), byRef(u"objRs")},
           [](DNA& d, Args a) { d.GetRs(a[0], recordsetArg(a, 1)); })
      .function(u"OnStartPage", {byRef(u"sc")}, [](DNA& d, Args a) { return d.OnStartPage(a[0]); })
      .function(u"OnEndPage", {}, [](DNA& d, Args) { return d.OnEndPage(); })
      .sub(u"DebugMode", {}, [](DNA& d, Args) { d.DebugMode(); })
      .sub(u"DispMenu", {}, [](DNA& d, Args) { d.DispMenu(); })
      .sub(u"SetDispStyle", {byRef(u"nType")}, [](DNA& d, Args a) { d.SetDispStyle(a[0]); })
      .sub(u"SetDefaultItem", {byRef(u"strDefault")},
           [](DNA& d, Args a) { d.SetDefaultItem(a[0]); })
      .sub(u"SetTitle", {byRef(u"Title")}, [](DNA& d, Args a) { d.SetTitle(a[0]); })
      .function(u"GetCodeName", {byRef(u"StrCodeSQL"), byRef(u"nValue")},
                [](DNA& d, Args a) { return d.GetCodeName(a[0], a[1]); })
      .function(u"SelectForm", {byRef(u"StrCodeSQL"), byRef(u"selectedID")},
                [](DNA& d, Args a) { return d.SelectForm(a[0], a[1]); })
      .function(u"Insert", {}, [](DNA& d, Args) { return d.Insert(); })
      .function(u"Update", {}, [](DNA& d, Args) { return d.Update(); })
      .function(u"Delete", {}, [](DNA& d, Args) { return d.Delete(); })
      .sub(u"search", {}, [](DNA& d, Args) { d.search(); });
  return t.build();
}

}  // namespace

const automation::TypeInfo& DNA::typeInfo() const {
  static const automation::TypeInfo info = describeDNA();
  return info;
}

}  // namespace dna
