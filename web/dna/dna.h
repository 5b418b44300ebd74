// DNA: maintenance pages for one table that the page describes by a SELECT statement and a
// list of captions. The class is spread over one file per concern:
//   table_description.cpp  OpenDNA, CloseDNA, SetCodeSQL, OpenDatabase, CloseDatabase
//   request_state.cpp      GetRequestItem, GetRequestValue
//   list_view.cpp          DispList and its page bar, header, rows and footer
//   entry_form.cpp         DispForm
//   column_chooser.cpp     DispSetColumns
//   writes.cpp             Insert, Update, Delete
//   search.cpp             search
//   lookups.cpp            GetCodeName, SelectForm
//   fetching.cpp           GetList, GetRs, GetFieldTypes
//   toolbar.cpp            DispMenu, SetDispStyle, SetDefaultItem, SetTitle
//   dna.cpp                page events, DebugMode, the member table
#pragma once

#include <memory>
#include <vector>

#include "ado/ado.h"
#include "frame/page_context.h"

namespace dna {

using automation::Int16;
using automation::Text;
using automation::TextView;
using automation::Variant;
using frame::kCrLf;

class DNA : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  // Public operations, in interface order.
  void OpenDNA(Variant& ConnStr, Variant& strSQL, Variant& StrChinese);
  void CloseDNA();
  void SetCodeSQL(Variant& StrCodeSQL);
  void DispForm(Variant& strAction);
  void DispList();
  void DispSetColumns();
  void GetList(ado::Recordset& objRs);
  void GetRs(Variant& strSQL, ado::Recordset& objRs);
  Variant OnStartPage(Variant& sc);
  Variant OnEndPage();
  void DebugMode();
  void DispMenu();
  void SetDispStyle(Variant& nType);
  void SetDefaultItem(Variant& strDefault);
  void SetTitle(Variant& Title);
  Variant GetCodeName(Variant& StrCodeSQL, Variant& nValue);
  Variant SelectForm(Variant& StrCodeSQL, Variant& selectedID);
  Variant Insert();
  Variant Update();
  Variant Delete();
  void search();

  // Public fields (also properties of the interface, in this order).
  Text strAction;
  Int16 nAccessLevel;
  Int16 nPage;
  Int16 nPageSize;
  Text strItemKeyName;
  Variant nItemKeyValue;
  Text strItemEnglish;
  Text strItemChinese;
  Text strItemCodeSQL;

 private:
  void OpenDatabase();
  void CloseDatabase();
  Text GetRequestItem(TextView key);
  void GetRequestValue();
  Text DispPageBar(ado::Recordset& objRs);
  Text DispListHeader();
  Text DispListRows(ado::Recordset& objRs);
  Text DispListFooter(ado::Recordset& objRs);
  void GetFieldTypes();

  void trace(TextView text);            // unconditional hidden line
  void debugTrace(TextView text);       // hidden line when bDebug is on
  Variant session(TextView key) const;  // Session(key)
  void setSession(TextView key, Variant value);
  bool isChosen(TextView column) const;  // substring test against Session("strItemChose")
  bool hasCodeLookup(std::size_t i) const;
  enum class Shown { ToDatabase, InPage };
  Text listStatement(Shown shown = Shown::ToDatabase);  // shared by DispList and GetList
  const Text& field(std::size_t i) const;               // aFields(i), subscript error when missing
  const Text& caption(std::size_t i) const;
  const Text& codeSQL(std::size_t i) const;

  // Table description, request state and list (table_description.cpp, request_state.cpp,
  // list_view.cpp).
  void seedSortFromDefault();  // Session("strOrder"/"strOrder2") from the statement's sort
  void takeLimits();           // aLimitFields/aLimitValues from strWhere
  void traceDescription();
  void readPage();
  void readPageSize();
  void readOrder();
  bool isColumnName(TextView name) const;           // a column of the description, trimmed
  Text chosenColumns(const Text& requested) const;  // "choseItem" without what is no column
  void traceRequest();
  // Row opening: number, edit and delete links; `url` comes encoded for an attribute.
  void appendRowLinks(Text& s, const Text& url, const Text& key, Int16 n) const;
  struct ListColumn;  // a chosen column as the rows read it
  void appendCell(Text& s, ado::Recordset& objRs, std::size_t i, ListColumn& column);

  // Entry form, writes and search (entry_form.cpp, writes.cpp, search.cpp).
  Text loadEditedRow();  // extends strWhere by the key; returns the statement it ran
  void writeFormInput(std::size_t i, TextView action, Int16& nCal);
  void writeCodeInput(std::size_t i, TextView action);
  std::vector<std::size_t> takingPartColumns() const;  // non-key columns with a value
  bool isIntegerColumn(std::size_t i) const;           // aTypes(i) is ADO's integer type
  Text keyCondition() const;                           // the where clause of Update and Delete

  bool bDebug = false;
  frame::PageContext page_;
  Text strURL;
  Text strTitle;
  Text strDefaultOrder;
  std::shared_ptr<ado::Connection> conn;
  std::shared_ptr<ado::Recordset> rs;
  Text strConn;
  Text strTable;
  Text strWhere;
  std::vector<Text> aFields;
  std::vector<Text> aChinese;
  std::vector<Text> aCodeSQL;
  std::vector<Variant> aValues;
  std::vector<Variant> aTypes;
  std::vector<Variant> aLimitFields;
  std::vector<Variant> aLimitValues;
};

}  // namespace dna
