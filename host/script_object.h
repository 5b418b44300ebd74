// A script's own object or array, copied out of the script engine when it crosses into the host:
// stored in the Session or the Application, or handed to a component. It keeps the data (nested
// objects and arrays, dates, texts, numbers, automation objects), not functions, so that a later
// request of the session, in any language, finds the same values. Scripts read its properties
// by name; its default value is what the script would print for it. A script engine that gets it
// back makes a fresh object or array of its own from it.
#pragma once

#include <vector>

#include "automation/object.h"

namespace host {

class ScriptObject : public automation::Dispatch {
 public:
  enum class Kind { Object, Array };
  using Properties = std::vector<std::pair<automation::Text, automation::Variant>>;

  // `text` is the default value: what String(value) gave in the script. For an array,
  // `properties` are its elements with their indices as names, in order.
  ScriptObject(Kind kind, Properties properties, automation::Text text);
  // An array whose default value is its elements joined by commas; an object whose default value
  // is "[object Object]".
  static std::shared_ptr<ScriptObject> array(std::vector<automation::Variant> elements);
  static std::shared_ptr<ScriptObject> object(Properties properties);

  const automation::TypeInfo& typeInfo() const override { return info_; }
  std::optional<std::vector<automation::Variant>> enumerate() override;
  std::size_t heldBytes() const override;

  Kind kind() const { return kind_; }
  const Properties& properties() const { return properties_; }
  const automation::Text& text() const { return text_; }

 private:
  automation::TypeInfo describe() const;

  Kind kind_;
  Properties properties_;
  automation::Text text_;
  automation::TypeInfo info_;
};

// A variant array of more than one dimension (rs.GetRows()) given to a script whose language has
// no such arrays: the script keeps it as an opaque object until VBArray reads it, and hands the
// array itself back when it passes it on to a component.
class VariantArrayObject : public automation::Dispatch {
 public:
  explicit VariantArrayObject(automation::Variant array) : array_(std::move(array)) {}
  const automation::TypeInfo& typeInfo() const override;
  const automation::Variant& array() const { return array_; }

 private:
  automation::Variant array_;
};

}  // namespace host
