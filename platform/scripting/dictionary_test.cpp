#include "scripting/dictionary.h"

#include <gtest/gtest.h>

#include "automation/registry.h"
#include "scripting/registration.h"

namespace scripting {
namespace {

using automation::AutomationError;
using automation::InvokeKind;
using automation::toInt32;
using automation::toText;

std::uint32_t errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return static_cast<std::uint32_t>(e.code());
  }
  return 0;
}

// A dictionary made by ProgID, as a page makes it.
std::shared_ptr<automation::Dispatch> newDictionary() {
  automation::ClassRegistry registry;
  registerClasses(registry, 936);
  return registry.create(u"scripting.dictionary");
}

TEST(Dictionary, KeepsItemsInOrderOfAdding) {
  auto d = newDictionary();
  d->invoke(u"Add", InvokeKind::Method, {Variant(u"b"), Variant(2)});
  d->invoke(u"Add", InvokeKind::Method, {Variant(u"a"), Variant(1)});
  d->invoke(u"", InvokeKind::PropertyPut, {Variant(u"c"), Variant(3)});  // d("c") = 3 adds
  EXPECT_EQ(toInt32(d->invoke(u"Count", InvokeKind::PropertyGet)), 3);
  auto keys = d->invoke(u"Keys", InvokeKind::Method).array();
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(toText(keys[0]), u"b");
  EXPECT_EQ(toText(keys[2]), u"c");
  EXPECT_EQ(toInt32(d->invoke(u"Items", InvokeKind::Method).array()[1]), 1);
  auto enumerated = d->enumerate();
  ASSERT_TRUE(enumerated);
  EXPECT_EQ(toText((*enumerated)[1]), u"a");
}

TEST(Dictionary, RaisesTheRuntimesErrors) {
  Dictionary d;
  d.Add(Variant(u"k"), Variant(1));
  EXPECT_EQ(errorOf([&] { d.Add(Variant(u"k"), Variant(2)); }), 0x800A01C9u);
  EXPECT_EQ(errorOf([&] { d.Remove(Variant(u"absent")); }), 0x800A802Bu);
  EXPECT_EQ(errorOf([&] { d.setKey(Variant(u"absent"), Variant(u"x")); }), 0x800A802Bu);
  d.Add(Variant(u"j"), Variant(2));
  EXPECT_EQ(errorOf([&] { d.setKey(Variant(u"j"), Variant(u"k")); }), 0x800A01C9u);
  EXPECT_EQ(errorOf([&] { d.setCompareMode(1); }), 0x800A0005u);  // not while it holds items
  EXPECT_EQ(errorOf([&] { d.Add(Variant(Variant::Array{}), Variant(1)); }), 0x800A000Du);
}

TEST(Dictionary, ReadingAnAbsentKeyAddsIt) {
  Dictionary d;
  EXPECT_TRUE(d.Item(Variant(u"x")).isEmpty());
  EXPECT_TRUE(d.Exists(Variant(u"x")));
  EXPECT_EQ(d.Count(), 1);
}

TEST(Dictionary, NumbersCompareByValueTextsByCompareMode) {
  Dictionary d;
  d.Add(Variant(1), Variant(u"one"));
  EXPECT_TRUE(d.Exists(Variant(1.0)));
  EXPECT_TRUE(d.Exists(Variant(std::int16_t{1})));
  EXPECT_FALSE(d.Exists(Variant(u"1")));
  d.Add(Variant(u"Name"), Variant(1));
  EXPECT_FALSE(d.Exists(Variant(u"NAME")));

  Dictionary text;
  text.invoke(u"CompareMode", InvokeKind::PropertyPut, {Variant(1)});
  text.Add(Variant(u"Name"), Variant(1));
  EXPECT_TRUE(text.Exists(Variant(u"NAME")));
  EXPECT_EQ(errorOf([&] { text.Add(Variant(u"name"), Variant(2)); }), 0x800A01C9u);
}

TEST(Dictionary, RenamesAndRemovesKeepingTheOthersReachable) {
  Dictionary d;
  for (int i = 0; i < 5; ++i) d.Add(Variant(i), Variant(i * 10));
  d.Remove(Variant(1));
  d.invoke(u"Key", InvokeKind::PropertyPut, {Variant(3), Variant(u"three")});
  EXPECT_EQ(toInt32(d.Item(Variant(u"three"))), 30);
  EXPECT_EQ(toInt32(d.Item(Variant(4))), 40);
  EXPECT_FALSE(d.Exists(Variant(3)));
  EXPECT_EQ(toText(d.Keys()[2]), u"three");
  d.RemoveAll();
  EXPECT_EQ(d.Count(), 0);
}

// Growth of the index, removals from the middle (later entries move up) and keys that look
// alike in other kinds, over enough keys for many collisions.
TEST(Dictionary, ManyKeysStayReachableThroughGrowthAndRemovals) {
  Dictionary d;
  constexpr int kKeys = 5000;
  for (int i = 0; i < kKeys; ++i) d.Add(Variant(u"k" + automation::toText(Variant(i))), Variant(i));
  for (int i = 0; i < kKeys; i += 3) d.Remove(Variant(u"k" + automation::toText(Variant(i))));
  for (int i = 0; i < kKeys; ++i) {
    Variant key(u"k" + automation::toText(Variant(i)));
    ASSERT_EQ(d.Exists(key), i % 3 != 0) << i;
    if (i % 3 != 0) {
      ASSERT_EQ(toInt32(d.Item(key)), i);
    }
  }
  EXPECT_EQ(d.Count(), kKeys - (kKeys + 2) / 3);
  EXPECT_EQ(toText(d.Keys()[0]), u"k1");
  d.Add(Variant(automation::Date::fromParts(1899, 12, 31)), Variant(u"date"));
  d.Add(Variant(1), Variant(u"number"));
  EXPECT_EQ(toText(d.Item(Variant(1.0))), u"number");
  EXPECT_EQ(toText(d.Item(Variant(automation::Date::fromParts(1899, 12, 31)))), u"date");
  d.Add(Variant(-0.0), Variant(u"zero"));
  EXPECT_EQ(toText(d.Item(Variant(0))), u"zero");
  EXPECT_TRUE(d.Item(Variant()).isEmpty());  // Empty is a key of its own, added on reading
}

TEST(Dictionary, ObjectKeysAreTheObjectsThemselves) {
  auto a = std::make_shared<Dictionary>();
  auto b = std::make_shared<Dictionary>();
  Dictionary d;
  d.Add(Variant(automation::ObjectRef(a)), Variant(u"a"));
  EXPECT_TRUE(d.Exists(Variant(automation::ObjectRef(a))));
  EXPECT_FALSE(d.Exists(Variant(automation::ObjectRef(b))));
}

}  // namespace
}  // namespace scripting
