// ADODB.Command with its Parameters: a statement whose "?" placeholders are bound, in order,
// to the parameters' values converted to their declared types.
#include "ado/ado.h"
#include "ado/ado_errors.h"
#include "ado/class_ids.h"
#include "ado/cursor.h"
#include "ado/script_args.h"

namespace ado {
namespace {

using automation::Args;
using automation::MemberTable;
using automation::ObjectRef;
using automation::optionalByRef;
using automation::optionalByVal;

constexpr automation::TextView kCommandSource = u"ADODB.Command";
constexpr automation::TextView kParametersSource = u"ADODB.Parameters";

}  // namespace

Variant Parameter::boundValue() const {
  if (Value.isNull() || Value.isEmpty() || Value.isMissing()) return Variant::null();
  switch (Type) {
    case 2:   // adSmallInt
    case 3:   // adInteger
    case 16:  // adTinyInt
    case 17:  // adUnsignedTinyInt
    case 18:  // adUnsignedSmallInt
    case 19:  // adUnsignedInt
    case 20:  // adBigInt
      return Variant(static_cast<long long>(automation::toInt64Rounded(Value)));
    case 4:    // adSingle
    case 5:    // adDouble
    case 6:    // adCurrency
    case 14:   // adDecimal
    case 131:  // adNumeric
      return Variant(automation::toDouble(Value));
    case 11:  // adBoolean
      return Variant(automation::toBool(Value));
    case 7:    // adDate
    case 133:  // adDBDate
    case 135:  // adDBTimeStamp
      return Variant(automation::toDate(Value));
    case 8:    // adBSTR
    case 129:  // adChar
    case 130:  // adWChar
    case 200:  // adVarChar
    case 201:  // adLongVarChar
    case 202:  // adVarWChar
    case 203:  // adLongVarWChar
      return Variant(automation::toText(Value));
    default:
      return Value;
  }
}

const automation::TypeInfo& Parameter::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Parameter>(u"_Parameter", u"{0000050C-0000-0010-8000-00AA006D2EA4}")
          .field(u"Value", &Parameter::Value)
          .asDefault()
          .field(u"Name", &Parameter::Name)
          .field(u"Type", &Parameter::Type)
          .field(u"Direction", &Parameter::Direction)
          .field(u"Size", &Parameter::Size)
          .build();
  return info;
}

std::size_t Parameters::indexOf(const Variant& indexOrName) const {
  if (auto i = automation::ordinal(indexOrName, items_.size(), 0)) return *i;
  Text name = automation::toText(indexOrName);
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (automation::equalsIgnoreCase(items_[i]->Name, name)) return i;
  }
  throwItemNotFound(kParametersSource);
}

std::shared_ptr<Parameter> Parameters::Item(const Variant& indexOrName) const {
  return items_[indexOf(indexOrName)];
}

void Parameters::Delete(const Variant& indexOrName) {
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(indexOf(indexOrName)));
}

std::optional<std::vector<Variant>> Parameters::enumerate() {
  return std::vector<Variant>(items_.begin(), items_.end());
}

const automation::TypeInfo& Parameters::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Parameters>(u"Parameters", u"{0000050D-0000-0010-8000-00AA006D2EA4}")
          .readOnly(u"Count", [](Parameters& p, Args) { return Variant(p.Count()); })
          .property(u"Item", {automation::byVal(u"Index")},
                    [](Parameters& p, Args a) { return Variant(ObjectRef(p.Item(a[0]))); }, {})
          .asDefault()
          .sub(u"Append", {automation::byVal(u"Object")},
               [](Parameters& p, Args a) { p.Append(automation::objectAs<Parameter>(a[0])); })
          .sub(u"Delete", {automation::byVal(u"Index")},
               [](Parameters& p, Args a) { p.Delete(a[0]); })
          .sub(u"Refresh", {}, [](Parameters&, Args) {})
          .build();
  return info;
}

Command::Command() : parameters_(std::make_shared<ado::Parameters>()) {}

void Command::setActiveConnection(const Variant& connectionOrString) {
  if (connectionOrString.isObject()) {
    connection_ = automation::objectAs<Connection>(connectionOrString);
  } else if (connectionOrString.isText()) {
    connection_ = std::make_shared<Connection>();
    connection_->Open(connectionOrString.text());
  } else {
    connection_.reset();
  }
}

std::shared_ptr<Parameter> Command::CreateParameter(TextView name, std::int32_t type,
                                                    std::int32_t direction, std::int32_t size,
                                                    const Variant& value) const {
  auto p = std::make_shared<Parameter>();
  p->Name = Text(name);
  p->Type = type;
  p->Direction = direction;
  p->Size = size;
  p->Value = value.isMissing() ? Variant() : value;
  return p;
}

Text Command::statement() const {
  if (CommandType == adCmdStoredProc) throwNotCapable(kCommandSource);
  return CommandType == adCmdTable ? u"select * from " + CommandText : CommandText;
}

std::vector<Variant> Command::parameterValues(const Variant& values) const {
  std::vector<Variant> bound;
  if (!values.isMissing() && !values.isEmpty()) {
    if (values.type() != automation::VarType::VariantArray) return {values};
    for (std::size_t i = 0; i < values.array().size(); ++i) {
      Parameter p = i < parameters_->all().size() ? *parameters_->all()[i] : Parameter();
      p.Value = values.array()[i];
      bound.push_back(p.boundValue());
    }
    return bound;
  }
  for (const auto& p : parameters_->all()) bound.push_back(p->boundValue());
  return bound;
}

std::shared_ptr<Recordset> Command::Execute(Variant* recordsAffected, const Variant& values) {
  if (!connection_ || connection_->State() != adStateOpen) {
    throwConnectionUnusable(kCommandSource);
  }
  Text sql = statement();
  std::vector<Variant> params = parameterValues(values);
  std::shared_ptr<Provider> provider = connection_->sharedProvider();
  std::unique_ptr<Rows> rows =
      connection_->recordingErrors([&] { return provider->query(sql, 0, params); });
  auto recordset = std::make_shared<Recordset>();
  if (rows->columnCount() == 0) {
    if (recordsAffected) *recordsAffected = Variant(static_cast<long long>(rows->rowsAffected()));
    return recordset;
  }
  if (recordsAffected) *recordsAffected = Variant(-1);
  recordset->adopt(std::make_shared<Cursor>(std::move(provider), std::move(sql), adOpenForwardOnly,
                                            std::move(rows), std::move(params)));
  return recordset;
}

const automation::TypeInfo& Command::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Command>(u"_Command", kCommandIid)
          .property(
              u"ActiveConnection", {},
              [](Command& c, Args) {
                return c.connection_ ? Variant(ObjectRef(c.connection_)) : Variant();
              },
              [](Command& c, Args, const Variant& v) { c.setActiveConnection(v); }, u"ppvObject")
          .field(u"CommandText", &Command::CommandText)
          .field(u"CommandType", &Command::CommandType)
          .field(u"CommandTimeout", &Command::CommandTimeout)
          .field(u"Prepared", &Command::Prepared)
          .readOnly(u"State", [](Command&, Args) { return Variant(adStateClosed); })
          .readOnly(u"Parameters",
                    [](Command& c, Args) { return Variant(ObjectRef(c.Parameters())); })
          .asDefault()
          .function(u"CreateParameter",
                    {optionalByVal(u"Name"), optionalByVal(u"Type"), optionalByVal(u"Direction"),
                     optionalByVal(u"Size"), optionalByVal(u"Value")},
                    [](Command& c, Args a) {
                      return Variant(
                          ObjectRef(c.CreateParameter(textArgOr(a, 0), intArgOr(a, 1, 12),
                                                      intArgOr(a, 2, 1), intArgOr(a, 3, 0), a[4])));
                    })
          .function(u"Execute",
                    {optionalByRef(u"RecordsAffected"), optionalByVal(u"Parameters"),
                     optionalByVal(u"Options")},
                    [](Command& c, Args a) {
                      Variant affected;
                      auto rs = c.Execute(&affected, a[1]);
                      a[0] = affected;
                      return Variant(ObjectRef(rs));
                    })
          .sub(u"Cancel", {}, [](Command&, Args) {})
          .build();
  return info;
}

}  // namespace ado
