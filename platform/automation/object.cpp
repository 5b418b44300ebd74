// Member lookup and argument passing of late-bound calls, shared by every automation class.
#include "object.h"

namespace automation {

TypeInfo::TypeInfo(Text interfaceName, Text iid, std::vector<MemberInfo> members)
    : name_(std::move(interfaceName)), iid_(std::move(iid)), members_(std::move(members)) {}

const MemberInfo* TypeInfo::find(TextView name) const {
  if (name.empty()) return defaultMember();
  for (const auto& m : members_) {
    if (equalsIgnoreCase(m.name, name)) return &m;
  }
  return nullptr;
}

const MemberInfo* TypeInfo::defaultMember() const {
  for (const auto& m : members_) {
    if (m.isDefault) return &m;
  }
  return nullptr;
}

Variant Dispatch::invoke(TextView member, InvokeKind kind, Args args) {
  const MemberInfo* m = typeInfo().find(member);
  if (!m) throwUnknownName(member.empty() ? TextView(u"(default)") : member);

  const std::size_t formal = m->params.size();
  const std::size_t given = kind == InvokeKind::PropertyPut ? args.size() - 1 : args.size();
  if (kind == InvokeKind::PropertyPut && args.empty()) throwBadParamCount();
  if (given > formal) throwBadParamCount();
  for (std::size_t i = given; i < formal; ++i) {
    if (!m->params[i].optional) throwBadParamCount();
  }

  // By-value parameters get copies; by-reference ones are written back into `args`.
  std::vector<Variant> local(formal);
  for (std::size_t i = 0; i < formal; ++i) {
    local[i] = i < given ? args[i] : Variant::missing();
  }
  auto writeBack = [&] {
    for (std::size_t i = 0; i < given; ++i) {
      if (m->params[i].byRef) args[i] = std::move(local[i]);
    }
  };

  if (kind == InvokeKind::PropertyPut) {
    if (!m->put) throwUnknownName(m->name);
    m->put(*this, local, args.back());
    writeBack();
    return {};
  }
  if (!m->get) throwUnknownName(m->name);
  Variant result = m->get(*this, local);
  writeBack();
  return result;
}

std::optional<std::size_t> ordinal(const Variant& index, std::size_t count, int base) {
  if (!index.isNumeric() || index.type() == VarType::Date) return std::nullopt;
  std::int64_t n = toInt64Rounded(index) - base;
  if (n < 0 || static_cast<std::uint64_t>(n) >= count) throwSubscriptOutOfRange();
  return static_cast<std::size_t>(n);
}

Variant Dispatch::invoke(TextView member, InvokeKind kind, std::vector<Variant> args) {
  return invoke(member, kind, Args(args));
}

std::size_t heldBytes(const Variant& value) {
  constexpr std::size_t kScalar = 16;
  switch (value.type()) {
    case VarType::Text:
      return kScalar + 2 * value.text().size();
    case VarType::ByteArray:
      return kScalar + value.bytes().size();
    case VarType::VariantArray: {
      std::size_t total = kScalar;
      for (const Variant& element : value.array()) total += heldBytes(element);
      return total;
    }
    case VarType::Object:
      return kScalar + (value.object() ? value.object()->heldBytes() : 0);
    default:
      return kScalar;
  }
}

}  // namespace automation
