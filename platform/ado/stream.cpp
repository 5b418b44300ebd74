// ADODB.Stream: the binary reading a download page needs, on a file of a mapped drive.
#include "ado/stream.h"

#include <fstream>
#include <limits>
#include <system_error>

#include "ado/ado_errors.h"
#include "ado/class_ids.h"
#include "fso/confined_path.h"

namespace ado {
namespace {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::optionalByVal;
using automation::toInt32;

constexpr TextView kStreamSource = u"ADODB.Stream";

}  // namespace

void Stream::setType(std::int32_t type) {
  if (type != adTypeBinary && type != adTypeText) throwArgumentOutOfRange(kStreamSource);
  if (open_ && position_ != 0) throwNotAllowedInContext(kStreamSource);
  type_ = type;
}

void Stream::checkOpen() const {
  if (!open_) throwObjectClosed(kStreamSource);
}

void Stream::Open() {
  if (open_) throwObjectOpen(kStreamSource);
  open_ = true;
  content_.clear();
  position_ = 0;
}

void Stream::Close() {
  checkOpen();
  open_ = false;
  content_ = {};
  position_ = 0;
}

void Stream::LoadFromFile(TextView pagePath) {
  checkOpen();
  auto file = fso::confine(pagePath);
  std::error_code error;
  if (!file || !std::filesystem::is_regular_file(file->host, error)) {
    throwFileNotOpened(kStreamSource);
  }
  auto size = std::filesystem::file_size(file->host, error);
  // Size and Position are 32-bit for scripts.
  if (error || size > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max())) {
    throwFileNotOpened(kStreamSource);
  }
  std::ifstream in(file->host, std::ios::binary);
  automation::Variant::Bytes bytes(size);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (!in || in.peek() != std::ifstream::traits_type::eof()) throwFileNotOpened(kStreamSource);
  content_ = std::move(bytes);
  position_ = 0;
}

Variant Stream::Read(std::int32_t count) {
  checkOpen();
  if (type_ != adTypeBinary) throwNotAllowedInContext(kStreamSource);
  if (count < 0 && count != adReadAll) throwArgumentOutOfRange(kStreamSource);
  std::size_t left = content_.size() - position_;
  if (left == 0) return Variant::null();
  std::size_t n = count == adReadAll ? left : std::min(left, static_cast<std::size_t>(count));
  auto from = content_.begin() + static_cast<std::ptrdiff_t>(position_);
  position_ += n;
  return Variant(automation::Variant::Bytes(from, from + static_cast<std::ptrdiff_t>(n)));
}

std::int32_t Stream::Size() const {
  checkOpen();
  return static_cast<std::int32_t>(content_.size());
}

std::int32_t Stream::Position() const {
  checkOpen();
  return static_cast<std::int32_t>(position_);
}

void Stream::setPosition(std::int32_t position) {
  checkOpen();
  if (position < 0 || static_cast<std::size_t>(position) > content_.size()) {
    throwArgumentOutOfRange(kStreamSource);
  }
  position_ = static_cast<std::size_t>(position);
}

bool Stream::EOS() const {
  checkOpen();
  return position_ == content_.size();
}

const automation::TypeInfo& Stream::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<Stream>(u"_Stream", kStreamIid)
          .readOnly(u"Size", [](Stream& s, Args) { return Variant(s.Size()); })
          .readOnly(u"EOS", [](Stream& s, Args) { return Variant(s.EOS()); })
          .property(
              u"Position", {}, [](Stream& s, Args) { return Variant(s.Position()); },
              [](Stream& s, Args, const Variant& v) { s.setPosition(toInt32(v)); }, u"pPos")
          .property(
              u"Type", {}, [](Stream& s, Args) { return Variant(s.Type()); },
              [](Stream& s, Args, const Variant& v) { s.setType(toInt32(v)); }, u"ptype")
          .readOnly(u"State",
                    [](Stream& s, Args) { return Variant(std::int32_t{s.isOpen() ? 1 : 0}); })
          .function(u"Read", {optionalByVal(u"NumBytes")},
                    [](Stream& s, Args a) {
                      return s.Read(a[0].isMissing() ? adReadAll : toInt32(a[0]));
                    })
          .sub(u"Open",
               {optionalByVal(u"Source"), optionalByVal(u"Mode"), optionalByVal(u"Options"),
                optionalByVal(u"UserName"), optionalByVal(u"Password")},
               [](Stream& s, Args a) {
                 // Only the empty stream: opening a URL or a record is not this host's to do.
                 if (!a[0].isMissing() && !a[0].isEmpty() && !a[0].isNull()) {
                   throwNotCapable(kStreamSource);
                 }
                 s.Open();
               })
          .sub(u"Close", {}, [](Stream& s, Args) { s.Close(); })
          .sub(u"LoadFromFile", {byVal(u"FileName")},
               [](Stream& s, Args a) { s.LoadFromFile(automation::toText(a[0])); })
          .build();
  return info;
}

}  // namespace ado
