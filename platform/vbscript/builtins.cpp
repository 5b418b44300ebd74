// The table of built-in functions, assembled from the families, and the vbXxx constants.
#include "builtins.h"

#include <unordered_map>

#include "errors.h"
#include "operators.h"

namespace vbscript {

namespace {

struct Table {
  std::vector<Builtin> entries;
  std::unordered_map<Text, int> byName;
  Table() {
    for (auto list : {conversionBuiltins(), textBuiltins(), mathBuiltins(), dateBuiltins(),
                      formatBuiltins(), arrayBuiltins(), runtimeBuiltins()}) {
      for (const Builtin* b = list.begin; b != list.end; ++b) {
        byName[automation::lower(b->name)] = static_cast<int>(entries.size());
        entries.push_back(*b);
      }
    }
  }
};

const Table& table() {
  static const Table t;
  return t;
}

Variant i2(int v) { return Variant(static_cast<std::int16_t>(v)); }

const std::unordered_map<Text, Variant>& constants() {
  static const std::unordered_map<Text, Variant> c = [] {
    std::unordered_map<Text, Variant> m;
    auto add = [&](const char16_t* name, Variant v) { m[automation::lower(name)] = std::move(v); };
    add(u"vbCr", Variant(u"\r"));
    add(u"vbLf", Variant(u"\n"));
    add(u"vbCrLf", Variant(u"\r\n"));
    add(u"vbNewLine", Variant(u"\r\n"));
    add(u"vbNullChar", Variant(Text(1, u'\0')));
    add(u"vbNullString", Variant(u""));
    add(u"vbTab", Variant(u"\t"));
    add(u"vbVerticalTab", Variant(u"\v"));
    add(u"vbFormFeed", Variant(u"\f"));
    add(u"vbBack", Variant(u"\b"));
    add(u"vbObjectError", Variant(static_cast<std::int32_t>(0x80040000)));
    add(u"vbTrue", i2(-1));
    add(u"vbFalse", i2(0));
    add(u"vbUseDefault", i2(-2));
    add(u"vbBinaryCompare", i2(0));
    add(u"vbTextCompare", i2(1));
    add(u"vbDatabaseCompare", i2(2));
    const char16_t* days[] = {u"vbSunday",   u"vbMonday", u"vbTuesday", u"vbWednesday",
                              u"vbThursday", u"vbFriday", u"vbSaturday"};
    for (int i = 0; i < 7; ++i) add(days[i], i2(i + 1));
    add(u"vbUseSystemDayOfWeek", i2(0));
    add(u"vbUseSystem", i2(0));
    add(u"vbFirstJan1", i2(1));
    add(u"vbFirstFourDays", i2(2));
    add(u"vbFirstFullWeek", i2(3));
    add(u"vbGeneralDate", i2(0));
    add(u"vbLongDate", i2(1));
    add(u"vbShortDate", i2(2));
    add(u"vbLongTime", i2(3));
    add(u"vbShortTime", i2(4));
    const char16_t* types[] = {u"vbEmpty",   u"vbNull",       u"vbInteger",  u"vbLong",
                               u"vbSingle",  u"vbDouble",     u"vbCurrency", u"vbDate",
                               u"vbString",  u"vbObject",     u"vbError",    u"vbBoolean",
                               u"vbVariant", u"vbDataObject", u"vbDecimal"};
    for (int i = 0; i < 15; ++i) add(types[i], i2(i));
    add(u"vbByte", i2(17));
    add(u"vbArray", i2(8192));
    add(u"vbBlack", Variant(std::int32_t{0}));
    add(u"vbRed", Variant(std::int32_t{0xFF}));
    add(u"vbGreen", Variant(std::int32_t{0xFF00}));
    add(u"vbYellow", Variant(std::int32_t{0xFFFF}));
    add(u"vbBlue", Variant(std::int32_t{0xFF0000}));
    add(u"vbMagenta", Variant(std::int32_t{0xFF00FF}));
    add(u"vbCyan", Variant(std::int32_t{0xFFFF00}));
    add(u"vbWhite", Variant(std::int32_t{0xFFFFFF}));
    const char16_t* boxes[] = {u"vbOKOnly",      u"vbOKCancel", u"vbAbortRetryIgnore",
                               u"vbYesNoCancel", u"vbYesNo",    u"vbRetryCancel"};
    for (int i = 0; i < 6; ++i) add(boxes[i], i2(i));
    add(u"vbCritical", i2(16));
    add(u"vbQuestion", i2(32));
    add(u"vbExclamation", i2(48));
    add(u"vbInformation", i2(64));
    add(u"vbDefaultButton1", i2(0));
    add(u"vbDefaultButton2", i2(256));
    add(u"vbDefaultButton3", i2(512));
    add(u"vbDefaultButton4", i2(768));
    add(u"vbApplicationModal", i2(0));
    add(u"vbSystemModal", i2(4096));
    const char16_t* answers[] = {u"vbOK",     u"vbCancel", u"vbAbort", u"vbRetry",
                                 u"vbIgnore", u"vbYes",    u"vbNo"};
    for (int i = 0; i < 7; ++i) add(answers[i], i2(i + 1));
    return m;
  }();
  return c;
}

}  // namespace

int findBuiltin(TextView name) {
  const auto& t = table();
  auto it = t.byName.find(automation::lower(name));
  return it == t.byName.end() ? -1 : it->second;
}

const Builtin& builtinAt(int id) { return table().entries[static_cast<std::size_t>(id)]; }

std::optional<Variant> findConstant(TextView name) {
  const auto& c = constants();
  auto it = c.find(automation::lower(name));
  if (it == c.end()) return std::nullopt;
  return it->second;
}

bool given(Args a, std::size_t i) { return i < a.size() && !a[i].isMissing(); }

int intArg(Args a, std::size_t i, int fallback) {
  if (!given(a, i)) return fallback;
  return automation::toInt32(valueOf(a[i]));
}

Text textArg(const Variant& v) { return automation::toText(valueOf(v)); }

}  // namespace vbscript
