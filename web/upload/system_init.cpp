#include "system_init.h"

#include "frame/class_ids.h"

namespace upload {
namespace {

using automation::Args;
using automation::optionalByVal;

// An optional argument, or nothing when the script left it out.
const Variant* given(Args args, std::size_t index) {
  return index < args.size() && !args[index].isMissing() ? &args[index] : nullptr;
}

std::int32_t int32Or0(Args args, std::size_t index) {
  const Variant* v = given(args, index);
  return v ? automation::toInt32(*v) : 0;
}

const automation::TypeInfo& memberTable() {
  static const automation::TypeInfo table =
      automation::MemberTable<SystemInit>(frame::kSystemInit.interfaceName, frame::kSystemInit.iid)
          .sub(u"OnStartPage", {automation::byRef(u"PassedScriptingcontext")},
               [](SystemInit& self, Args a) { self.OnStartPage(a.empty() ? Variant() : a[0]); })
          .sub(u"OnEndPage", {}, [](SystemInit& self, Args) { self.OnEndPage(); })
          .writeOnly(u"UpToFile", u"lngReal",
                     [](SystemInit& self, Args, const Variant& v) {
                       self.UpToFile(automation::toInt32(v));
                     })
          .writeOnly(u"NewFileName", u"strNewFileName",
                     [](SystemInit& self, Args, const Variant& v) {
                       self.NewFileName(automation::toText(v));
                     })
          .function(u"Upload",
                    {optionalByVal(u"lngMaxSize"), optionalByVal(u"ServerPath"),
                     optionalByVal(u"lngOverWrite")},
                    [](SystemInit& self, Args a) {
                      const Variant* path = given(a, 1);
                      const Variant* overwrite = given(a, 2);
                      return Variant(self.Upload(int32Or0(a, 0),
                                                 path ? automation::toText(*path) : Text(),
                                                 overwrite ? automation::toInt16(*overwrite) : 0));
                    })
          .readOnly(u"count", [](SystemInit& self, Args) { return Variant(self.count()); })
          .writeOnly(u"MaxSize", u"lngNewMaxSize",
                     [](SystemInit& self, Args, const Variant& v) {
                       self.MaxSize(automation::toInt32(v));
                     })
          .writeOnly(
              u"Path", u"varNewPath",
              [](SystemInit& self, Args, const Variant& v) { self.Path(automation::toText(v)); })
          .writeOnly(u"OverWrite", u"lngNewOverWrite",
                     [](SystemInit& self, Args, const Variant& v) {
                       self.OverWrite(automation::toInt16(v));
                     })
          .function(u"FileName", {automation::byRef(u"varformname")},
                    [](SystemInit& self, Args a) {
                      return Variant(self.FileName(automation::toText(a[0])));
                    })
          .function(
              u"Size", {automation::byRef(u"varformname")},
              [](SystemInit& self, Args a) { return Variant(self.Size(automation::toText(a[0]))); })
          .function(u"Form", {automation::byRef(u"varformname")},
                    [](SystemInit& self, Args a) { return self.Form(automation::toText(a[0])); })
          .build();
  return table;
}

}  // namespace

const automation::TypeInfo& SystemInit::typeInfo() const { return memberTable(); }

void SystemInit::OnStartPage(const Variant& PassedScriptingcontext) {
  context_ = automation::objectAs<asp::ScriptingContext>(PassedScriptingcontext);
  request_ = context_->Request();
  server_ = context_->Server();
}

void SystemInit::OnEndPage() {
  context_.reset();
  request_.reset();
  server_.reset();
}

void SystemInit::UpToFile(std::int32_t lngReal) { upToFile_ = lngReal == 2 ? 2 : 1; }

void SystemInit::NewFileName(Text strNewFileName) { newFileName_ = std::move(strNewFileName); }

void SystemInit::MaxSize(std::int32_t lngNewMaxSize) { maxSize_ = lngNewMaxSize; }

void SystemInit::Path(Text varNewPath) {
  path_ = varNewPath.size() >= 2 && varNewPath[1] == u':' ? std::move(varNewPath) : Text();
}

void SystemInit::OverWrite(std::int16_t lngNewOverWrite) {
  overWrite_ = lngNewOverWrite == 1 || lngNewOverWrite == 2 ? lngNewOverWrite : 0;
}

int SystemInit::lookup(TextView name) const {
  for (std::int32_t i = 0; i < count_; ++i) {
    if (static_cast<std::size_t>(i) >= parts_.names.size()) automation::throwSubscriptOutOfRange();
    if (parts_.names[static_cast<std::size_t>(i)] == name) return i;
  }
  return -1;
}

Text SystemInit::FileName(TextView varformname) const {
  const int i = lookup(varformname);
  return i < 0 ? Text() : parts_.fileNames[static_cast<std::size_t>(i)];
}

std::int32_t SystemInit::Size(TextView varformname) const {
  const int i = lookup(varformname);
  return i < 0 ? 0 : parts_.sizes[static_cast<std::size_t>(i)];
}

Variant SystemInit::Form(TextView varformname) const {
  const int i = lookup(varformname);
  return i < 0 ? Variant(Text()) : parts_.values[static_cast<std::size_t>(i)];
}

}  // namespace upload
