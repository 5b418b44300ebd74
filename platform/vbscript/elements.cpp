// Array elements and ReDim for the interpreter and the built-ins. Arrays are stored flat with
// the first index varying fastest, so ReDim Preserve, which may change only the last
// dimension, keeps the elements in place and only grows or shrinks the tail.
#include <utility>

#include "elements.h"

#include "errors.h"
#include "operators.h"

namespace vbscript {

std::size_t elementIndex(const std::vector<automation::ArrayBound>& bounds, Args indexes) {
  if (indexes.size() != bounds.size()) raise(err::kSubscript);
  std::size_t flat = 0, stride = 1;
  for (std::size_t d = 0; d < bounds.size(); ++d) {
    std::int32_t i = automation::toInt32(valueOf(indexes[d]));
    if (i < bounds[d].lower || i > bounds[d].upper()) raise(err::kSubscript);
    flat += static_cast<std::size_t>(i - bounds[d].lower) * stride;
    stride *= static_cast<std::size_t>(bounds[d].count);
  }
  return flat;
}

Variant elementOf(const Variant& container, Args indexes) {
  if (container.isArray()) return container.array()[elementIndex(container.arrayBounds(), indexes)];
  if (container.isObject()) {
    const automation::ObjectRef& o = container.object();
    if (!o) raise(err::kObjectNotSet);
    if (!o->typeInfo().defaultMember()) raise(err::kNoSuchMember);
    return o->invoke(u"", automation::InvokeKind::Method, indexes);
  }
  if (container.type() == automation::VarType::ByteArray && indexes.size() == 1) {
    const auto& bytes = container.bytes();
    std::int32_t i = automation::toInt32(indexes[0]);
    if (i < 0 || static_cast<std::size_t>(i) >= bytes.size()) raise(err::kSubscript);
    return Variant(bytes[static_cast<std::size_t>(i)]);
  }
  raise(err::kTypeMismatch);
}

void assignElement(Variant& container, Args indexes, Variant value) {
  if (container.isArray()) {
    // a(i) = a: the element gets a copy, not the array it is part of.
    if (value.isArray() && &value.array() == &container.array()) value.mutableArray();
    auto& data = container.mutableArray();
    Variant& slot = data.items[elementIndex(data.bounds, indexes)];
    Variant old = std::exchange(slot, std::move(value));
    return;
  }
  if (container.isObject()) {
    const automation::ObjectRef& o = container.object();
    if (!o) raise(err::kObjectNotSet);
    if (!o->typeInfo().defaultMember()) raise(err::kNoSuchMember);
    std::vector<Variant> args(indexes.begin(), indexes.end());
    args.push_back(std::move(value));
    o->invoke(u"", automation::InvokeKind::PropertyPut, automation::Args(args));
    return;
  }
  raise(err::kTypeMismatch);
}

Variant redimensioned(const Variant& old, const std::vector<std::int32_t>& uppers, bool preserve) {
  std::vector<automation::ArrayBound> bounds;
  std::size_t total = 1;
  for (std::int32_t u : uppers) {
    if (u < -1) raise(err::kSubscript);
    bounds.push_back({0, u + 1});
    total *= static_cast<std::size_t>(u + 1);
  }
  if (total > (std::size_t{1} << 28)) raise(err::kOutOfMemory);
  Variant::Array items(total);
  if (preserve && old.isArray()) {
    const auto& was = old.arrayBounds();
    if (was.size() != bounds.size()) raise(err::kSubscript);
    for (std::size_t d = 0; d + 1 < was.size(); ++d) {
      if (was[d].count != bounds[d].count) raise(err::kSubscript);
    }
    const auto& from = old.array();
    std::copy_n(from.begin(), std::min(from.size(), total), items.begin());
  }
  return Variant(std::move(items), std::move(bounds));
}

}  // namespace vbscript
