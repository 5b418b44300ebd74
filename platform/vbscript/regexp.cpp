// RegExp on PCRE2 (16-bit code units, as the script's texts are). Patterns are compiled with
// the options that give ECMAScript behaviour: \uXXXX escapes, unset back references matching
// the empty text, and $ matching only at the very end unless Multiline is set.
#define PCRE2_CODE_UNIT_WIDTH 16
#include "regexp.h"

#include <pcre2.h>

#include "errors.h"

namespace vbscript {

namespace {

using automation::Args;
using automation::Dispatch;
using automation::MemberTable;
using automation::ObjectRef;
using automation::Text;
using automation::TextView;
using automation::Variant;

struct CodeDeleter {
  void operator()(pcre2_code* c) const { pcre2_code_free(c); }
};
struct DataDeleter {
  void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
};

class SubMatches : public Dispatch {
 public:
  explicit SubMatches(std::vector<Variant> items) : items_(std::move(items)) {}
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<SubMatches>(u"ISubMatches", u"")
            .function(u"Item", {automation::byVal(u"index")},
                      [](SubMatches& s, Args a) { return s.at(a[0]); })
            .asDefault()
            .readOnly(u"Count",
                      [](SubMatches& s, Args) {
                        return Variant(static_cast<std::int32_t>(s.items_.size()));
                      })
            .build();
    return info;
  }
  std::optional<std::vector<Variant>> enumerate() override { return items_; }

 private:
  Variant at(const Variant& i) {
    std::int32_t n = automation::toInt32(i);
    if (n < 0 || static_cast<std::size_t>(n) >= items_.size()) raise(err::kInvalidCall);
    return items_[static_cast<std::size_t>(n)];
  }
  std::vector<Variant> items_;
};

class Match : public Dispatch {
 public:
  Match(Text value, std::int32_t index, ObjectRef subs)
      : value_(std::move(value)), index_(index), subs_(std::move(subs)) {}
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<Match>(u"IMatch2", u"")
            .readOnly(u"Value", [](Match& m, Args) { return Variant(m.value_); })
            .asDefault()
            .readOnly(u"FirstIndex", [](Match& m, Args) { return Variant(m.index_); })
            .readOnly(
                u"Length",
                [](Match& m, Args) { return Variant(static_cast<std::int32_t>(m.value_.size())); })
            .readOnly(u"SubMatches", [](Match& m, Args) { return Variant(m.subs_); })
            .build();
    return info;
  }

 private:
  Text value_;
  std::int32_t index_;
  ObjectRef subs_;
};

class Matches : public Dispatch {
 public:
  explicit Matches(std::vector<Variant> items) : items_(std::move(items)) {}
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<Matches>(u"IMatchCollection2", u"")
            .function(u"Item", {automation::byVal(u"index")},
                      [](Matches& m, Args a) {
                        std::int32_t n = automation::toInt32(a[0]);
                        if (n < 0 || static_cast<std::size_t>(n) >= m.items_.size())
                          raise(err::kInvalidCall);
                        return m.items_[static_cast<std::size_t>(n)];
                      })
            .asDefault()
            .readOnly(u"Count",
                      [](Matches& m, Args) {
                        return Variant(static_cast<std::int32_t>(m.items_.size()));
                      })
            .build();
    return info;
  }
  std::optional<std::vector<Variant>> enumerate() override { return items_; }

 private:
  std::vector<Variant> items_;
};

class RegExp : public Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<RegExp>(u"IRegExp2", u"")
            .property(
                u"Pattern", {}, [](RegExp& r, Args) { return Variant(r.pattern_); },
                [](RegExp& r, Args, const Variant& v) { r.set(r.pattern_, automation::toText(v)); })
            .property(
                u"Global", {}, [](RegExp& r, Args) { return Variant(r.global_); },
                [](RegExp& r, Args, const Variant& v) { r.global_ = automation::toBool(v); })
            .property(
                u"IgnoreCase", {}, [](RegExp& r, Args) { return Variant(r.ignoreCase_); },
                [](RegExp& r, Args, const Variant& v) {
                  r.set(r.ignoreCase_, automation::toBool(v));
                })
            .property(
                u"Multiline", {}, [](RegExp& r, Args) { return Variant(r.multiline_); },
                [](RegExp& r, Args, const Variant& v) {
                  r.set(r.multiline_, automation::toBool(v));
                })
            .function(u"Test", {automation::byVal(u"sourceString")},
                      [](RegExp& r, Args a) { return Variant(r.test(automation::joinText(a[0]))); })
            .function(
                u"Execute", {automation::byVal(u"sourceString")},
                [](RegExp& r, Args a) { return Variant(r.execute(automation::joinText(a[0]))); })
            .function(u"Replace",
                      {automation::byVal(u"sourceString"), automation::byVal(u"replaceVar")},
                      [](RegExp& r, Args a) {
                        Text s = automation::joinText(a[0]);
                        if (a[1].isObject()) return Variant(r.replace(s, a[1].object()));
                        return Variant(r.replace(s, automation::joinText(a[1])));
                      })
            .build();
    return info;
  }

 private:
  template <class T>
  void set(T& field, T value) {
    field = std::move(value);
    code_.reset();
  }

  pcre2_code* code() {
    if (code_) return code_.get();
    std::uint32_t options = PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
    if (ignoreCase_) options |= PCRE2_CASELESS;
    if (multiline_)
      options |= PCRE2_MULTILINE;
    else
      options |= PCRE2_DOLLAR_ENDONLY;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* c = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(),
                                  options, &error, &offset, nullptr);
    if (!c) raise(err::kRegexSyntax);
    code_.reset(c);
    return c;
  }

  struct Found {
    std::size_t start, end;
    std::vector<Variant> groups;
  };

  // Every match from the start (all of them when Global), empty matches stepping one on.
  template <class F>
  void each(const Text& s, F&& f) {
    pcre2_code* c = code();
    std::unique_ptr<pcre2_match_data, DataDeleter> data(
        pcre2_match_data_create_from_pattern(c, nullptr));
    std::size_t pos = 0;
    while (pos <= s.size()) {
      int rc = pcre2_match(c, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), pos, 0, data.get(),
                           nullptr);
      if (rc == PCRE2_ERROR_NOMATCH) return;
      if (rc < 0) raise(err::kRegexSyntax);
      PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
      Found m{ov[0], ov[1], {}};
      std::uint32_t groups = pcre2_get_ovector_count(data.get());
      std::uint32_t captures = 0;
      pcre2_pattern_info(c, PCRE2_INFO_CAPTURECOUNT, &captures);
      for (std::uint32_t g = 1; g <= captures && g < groups; ++g) {
        if (ov[2 * g] == PCRE2_UNSET)
          m.groups.emplace_back();
        else
          m.groups.emplace_back(Text(s.substr(ov[2 * g], ov[2 * g + 1] - ov[2 * g])));
      }
      for (std::uint32_t g = groups; g <= captures; ++g) m.groups.emplace_back();
      f(m);
      if (!global_) return;
      pos = m.end > m.start ? m.end : m.end + 1;
    }
  }

  bool test(const Text& s) {
    bool found = false;
    bool wasGlobal = global_;
    global_ = false;
    each(s, [&](const Found&) { found = true; });
    global_ = wasGlobal;
    return found;
  }

  ObjectRef execute(const Text& s) {
    std::vector<Variant> items;
    each(s, [&](const Found& m) {
      auto subs = std::make_shared<SubMatches>(m.groups);
      items.emplace_back(ObjectRef(std::make_shared<Match>(
          s.substr(m.start, m.end - m.start), static_cast<std::int32_t>(m.start), subs)));
    });
    return std::make_shared<Matches>(std::move(items));
  }

  Text replace(const Text& s, const Text& with) {
    Text out;
    std::size_t last = 0;
    each(s, [&](const Found& m) {
      out.append(s, last, m.start - last);
      expand(out, with, s, m);
      last = m.end;
    });
    out.append(s, last, Text::npos);
    return out;
  }

  // Replace with a function (GetRef): called with the match, its submatches, its position
  // and the whole text; what it returns takes the match's place.
  Text replace(const Text& s, const ObjectRef& function) {
    if (!function) raise(err::kObjectNotSet);
    Text out;
    std::size_t last = 0;
    each(s, [&](const Found& m) {
      out.append(s, last, m.start - last);
      std::vector<Variant> args;
      args.emplace_back(s.substr(m.start, m.end - m.start));
      args.insert(args.end(), m.groups.begin(), m.groups.end());
      args.emplace_back(static_cast<std::int32_t>(m.start));
      args.emplace_back(s);
      out += automation::joinText(
          function->invoke(u"", automation::InvokeKind::Method, std::move(args)));
      last = m.end;
    });
    out.append(s, last, Text::npos);
    return out;
  }

  // $1..$99, $&, $`, $' and $$ in a replacement text.
  static void expand(Text& out, const Text& with, const Text& s, const Found& m) {
    for (std::size_t i = 0; i < with.size(); ++i) {
      char16_t c = with[i];
      if (c != u'$' || i + 1 >= with.size()) {
        out += c;
        continue;
      }
      char16_t n = with[i + 1];
      if (n == u'$') {
        out += u'$';
        ++i;
      } else if (n == u'&') {
        out.append(s, m.start, m.end - m.start);
        ++i;
      } else if (n == u'`') {
        out.append(s, 0, m.start);
        ++i;
      } else if (n == u'\'') {
        out.append(s, m.end, Text::npos);
        ++i;
      } else if (n >= u'0' && n <= u'9') {
        std::size_t g = n - u'0', used = 1;
        if (i + 2 < with.size() && with[i + 2] >= u'0' && with[i + 2] <= u'9' &&
            g * 10 + (with[i + 2] - u'0') <= m.groups.size()) {
          g = g * 10 + (with[i + 2] - u'0');
          used = 2;
        }
        if (g >= 1 && g <= m.groups.size()) {
          out += automation::joinText(m.groups[g - 1]);
          i += used;
        } else {
          out += c;
        }
      } else {
        out += c;
      }
    }
  }

  Text pattern_;
  bool global_ = false;
  bool ignoreCase_ = false;
  bool multiline_ = false;
  std::unique_ptr<pcre2_code, CodeDeleter> code_;
};

}  // namespace

ObjectRef makeRegExp() { return std::make_shared<RegExp>(); }

}  // namespace vbscript
