// Reading and writing text files for scripts.
#include "text_stream.h"

#include <fstream>
#include <iterator>
#include <string>

#include "scripting/scripting_errors.h"

namespace scripting {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::optionalByVal;
using automation::toInt32;

namespace {

constexpr char kUtf16Mark[] = "\xFF\xFE";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

Text fromUtf16(std::string_view bytes) {
  Text t(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < t.size(); ++i) {
    t[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return t;
}

std::string toUtf16(TextView t) {
  std::string bytes;
  bytes.reserve(t.size() * 2);
  for (char16_t c : t) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

Text decode(std::string_view bytes, bool unicode, int codePage) {
  if (bytes.starts_with(kUtf16Mark)) return fromUtf16(bytes.substr(2));
  if (unicode) return fromUtf16(bytes);
  if (bytes.starts_with(kUtf8Mark)) return automation::fromUtf8(bytes.substr(3));
  return automation::decodeCodePage(bytes, codePage);
}

}  // namespace

TextStream::TextStream(const std::filesystem::path& file, IoMode mode, bool create, bool unicode,
                       int ansiCodePage)
    : mode_(mode), unicode_(unicode), codePage_(ansiCodePage) {
  std::error_code ignored;
  const bool exists = std::filesystem::exists(file, ignored);
  if (std::filesystem::is_directory(file, ignored)) throwPermissionDenied();
  if (!exists && !create) throwFileNotFound();
  if (mode == ForReading) {
    std::ifstream in(file, std::ios::binary);
    if (!exists) return;  // a created file to read is empty
    if (!in) throwPermissionDenied();
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    content_ = decode(bytes, unicode, codePage_);
    return;
  }
  const bool empty = !exists || std::filesystem::file_size(file, ignored) == 0;
  out_ = std::fopen(file.c_str(), mode == ForAppending ? "ab" : "wb");
  if (!out_) {
    if (!std::filesystem::is_directory(file.parent_path(), ignored)) throwPathNotFound();
    throwPermissionDenied();
  }
  if (unicode_ && (mode == ForWriting || empty)) std::fwrite(kUtf16Mark, 1, 2, out_);
}

TextStream::~TextStream() {
  if (out_) std::fclose(out_);
}

void TextStream::checkReading() const {
  if (closed_) automation::throwObjectNotSet();
  if (mode_ != ForReading) throwBadFileMode();
}

void TextStream::checkWriting() const {
  if (closed_) automation::throwObjectNotSet();
  if (mode_ == ForReading) throwBadFileMode();
}

void TextStream::advance(std::size_t to) {
  for (; pos_ < to; ++pos_) {
    if (content_[pos_] == u'\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
  }
}

Text TextStream::Read(std::int32_t characters) {
  checkReading();
  if (pos_ >= content_.size()) throwPastEndOfFile();
  std::size_t start = pos_;
  advance(std::min(content_.size(), pos_ + static_cast<std::size_t>(std::max(characters, 0))));
  return content_.substr(start, pos_ - start);
}

Text TextStream::ReadLine() {
  checkReading();
  if (pos_ >= content_.size()) throwPastEndOfFile();
  std::size_t end = content_.find(u'\n', pos_);
  if (end == Text::npos) end = content_.size();
  Text line = content_.substr(pos_, end - pos_);
  if (!line.empty() && line.back() == u'\r') line.pop_back();
  advance(std::min(end + 1, content_.size()));
  return line;
}

Text TextStream::ReadAll() {
  checkReading();
  if (pos_ >= content_.size()) throwPastEndOfFile();
  std::size_t start = pos_;
  advance(content_.size());
  return content_.substr(start);
}

void TextStream::Skip(std::int32_t characters) { Read(characters); }
void TextStream::SkipLine() { ReadLine(); }

bool TextStream::AtEndOfStream() const {
  checkReading();
  return pos_ >= content_.size();
}

bool TextStream::AtEndOfLine() const {
  checkReading();
  return pos_ >= content_.size() || content_[pos_] == u'\n' ||
         (content_[pos_] == u'\r' && pos_ + 1 < content_.size() && content_[pos_ + 1] == u'\n');
}

void TextStream::Write(TextView text) {
  checkWriting();
  std::string bytes = unicode_ ? toUtf16(text) : automation::encodeCodePage(text, codePage_);
  if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size() || std::fflush(out_) != 0) {
    throwPermissionDenied();
  }
  for (char16_t c : text) {
    if (c == u'\n') {
      ++line_;
      column_ = 1;
    } else {
      ++column_;
    }
  }
}

void TextStream::WriteLine(TextView text) { Write(Text(text) + u"\r\n"); }

void TextStream::WriteBlankLines(std::int32_t lines) {
  Text blank;
  for (std::int32_t i = 0; i < lines; ++i) blank += u"\r\n";
  Write(blank);
}

void TextStream::Close() {
  if (out_) std::fclose(out_);
  out_ = nullptr;
  closed_ = true;
}

const automation::TypeInfo& TextStream::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<TextStream>(u"ITextStream", u"{53BAD8C1-E718-11CF-893D-00A0C9054228}")
          .readOnly(u"Line", [](TextStream& s, Args) { return Variant(s.Line()); })
          .readOnly(u"Column", [](TextStream& s, Args) { return Variant(s.Column()); })
          .readOnly(u"AtEndOfStream",
                    [](TextStream& s, Args) { return Variant(s.AtEndOfStream()); })
          .readOnly(u"AtEndOfLine", [](TextStream& s, Args) { return Variant(s.AtEndOfLine()); })
          .function(u"Read", {byVal(u"Characters")},
                    [](TextStream& s, Args a) { return Variant(s.Read(toInt32(a[0]))); })
          .function(u"ReadLine", {}, [](TextStream& s, Args) { return Variant(s.ReadLine()); })
          .function(u"ReadAll", {}, [](TextStream& s, Args) { return Variant(s.ReadAll()); })
          .sub(u"Write", {byVal(u"Text")},
               [](TextStream& s, Args a) { s.Write(automation::joinText(a[0])); })
          .sub(u"WriteLine", {optionalByVal(u"Text")},
               [](TextStream& s, Args a) {
                 s.WriteLine(a[0].isMissing() ? Text() : automation::joinText(a[0]));
               })
          .sub(u"WriteBlankLines", {byVal(u"Lines")},
               [](TextStream& s, Args a) { s.WriteBlankLines(toInt32(a[0])); })
          .sub(u"Skip", {byVal(u"Characters")},
               [](TextStream& s, Args a) { s.Skip(toInt32(a[0])); })
          .sub(u"SkipLine", {}, [](TextStream& s, Args) { s.SkipLine(); })
          .sub(u"Close", {}, [](TextStream& s, Args) { s.Close(); })
          .build();
  return info;
}

}  // namespace scripting
