#include "session_json.h"

#include <gtest/gtest.h>

#include "script_object.h"

namespace host {
namespace {

using automation::Text;
using automation::Variant;
using automation::VarType;

TEST(SessionJson, ReadsEveryKind) {
  asp::KeyedValues v;
  readSessionJson(R"({"s": "文字", "small": 32767, "big": 32768, "neg": -40000, "huge": 3000000000,
                      "d": 1.5, "t": true, "n": null, "day": {"date": "2024-02-29"},
                      "at": {"date": "2024-02-29 13:05:00"}})",
                  v);
  EXPECT_EQ(v.get(u"s").text(), u"文字");
  EXPECT_EQ(v.get(u"small").type(), VarType::I2);
  EXPECT_EQ(v.get(u"big").type(), VarType::I4);
  EXPECT_EQ(v.get(u"neg").type(), VarType::I4);
  EXPECT_EQ(v.get(u"huge").type(), VarType::R8);
  EXPECT_EQ(v.get(u"d").type(), VarType::R8);
  EXPECT_EQ(v.get(u"t").type(), VarType::Bool);
  EXPECT_TRUE(v.get(u"n").isNull());
  EXPECT_EQ(v.get(u"day").type(), VarType::Date);
  EXPECT_EQ(automation::toDate(v.get(u"at")).text(), u"2024-02-29 13:05:00");
}

TEST(SessionJson, WritesWhatItReads) {
  asp::KeyedValues v;
  v.set(u"strOrder", Variant(Text(u"name DESC ")));
  v.set(u"nPageSize", Variant(std::int16_t{20}));
  v.set(u"count", Variant(100000));
  v.set(u"ratio", Variant(0.25));
  v.set(u"flag", Variant(false));
  v.set(u"nothing", Variant::null());
  v.set(u"gone", Variant());
  v.set(u"when", Variant(automation::Date::fromParts(2023, 1, 2)));
  std::string json = writeSessionJson(v);
  EXPECT_EQ(json.find("gone"), std::string::npos);
  asp::KeyedValues back;
  readSessionJson(json, back);
  for (const auto& [key, value] : v.items()) {
    if (value.isEmpty()) continue;
    EXPECT_EQ(back.get(key).type(), value.type()) << automation::toUtf8(key);
    if (!value.isNull()) {
      EXPECT_TRUE(automation::equals(back.get(key), value)) << automation::toUtf8(key);
    }
  }
  EXPECT_NE(json.find(R"("when": {
    "date": "2023-01-02"
  })"),
            std::string::npos)
      << json;
}

TEST(SessionJson, ScriptObjectsAndArraysKeepTheirShape) {
  asp::KeyedValues v;
  readSessionJson(R"({"cart": [1, "two", {"date": "2024-01-31"}, [true]],
                      "user": {"name": "张", "age": 7, "when": {"date": "yesterday"}}})",
                  v);
  auto cart = std::dynamic_pointer_cast<ScriptObject>(v.get(u"cart").object());
  ASSERT_TRUE(cart);
  EXPECT_EQ(cart->kind(), ScriptObject::Kind::Array);
  ASSERT_EQ(cart->properties().size(), 4u);
  EXPECT_EQ(cart->properties()[2].second.type(), VarType::Date);
  auto user = std::dynamic_pointer_cast<ScriptObject>(v.get(u"user").object());
  ASSERT_TRUE(user);
  EXPECT_EQ(user->invoke(u"NAME", automation::InvokeKind::PropertyGet).text(), u"张");
  EXPECT_TRUE(user->properties()[2].second.isObject()) << "not a date: stays an object";
  std::string json = writeSessionJson(v);
  asp::KeyedValues back;
  readSessionJson(json, back);
  EXPECT_EQ(writeSessionJson(back), json);
  EXPECT_NE(json.find(R"("name": "张")"), std::string::npos) << json;
}

TEST(SessionJson, RejectsWhatHasNoSessionForm) {
  asp::KeyedValues v;
  EXPECT_THROW(readSessionJson("[1]", v), std::invalid_argument);
  EXPECT_THROW(readSessionJson("{", v), std::invalid_argument);
}

}  // namespace
}  // namespace host
