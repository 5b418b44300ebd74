// TextStream: a text file open for reading, writing or appending. A file read is decoded at
// open: UTF-16 when it starts with the UTF-16 byte-order mark or is opened as Unicode, UTF-8
// when it starts with the UTF-8 mark, else the ANSI code page. Writes go to the file at once,
// in UTF-16 for a Unicode stream and the ANSI code page otherwise. Lines end at LF, a CR
// before it dropped; WriteLine ends lines with CR LF.
#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "automation/object.h"

namespace scripting {

using automation::Text;
using automation::TextView;
using automation::Variant;

enum IoMode : std::int32_t { ForReading = 1, ForWriting = 2, ForAppending = 8 };
enum Tristate : std::int32_t { TristateUseDefault = -2, TristateTrue = -1, TristateFalse = 0 };

class TextStream : public automation::Dispatch {
 public:
  // Raises "file not found" when a file to read is missing and not to be created.
  TextStream(const std::filesystem::path& file, IoMode mode, bool create, bool unicode,
             int ansiCodePage);
  ~TextStream() override;
  const automation::TypeInfo& typeInfo() const override;

  Text Read(std::int32_t characters);
  Text ReadLine();
  Text ReadAll();
  void Skip(std::int32_t characters);
  void SkipLine();
  bool AtEndOfStream() const;
  bool AtEndOfLine() const;
  std::int32_t Line() const { return line_; }
  std::int32_t Column() const { return column_; }
  void Write(TextView text);
  void WriteLine(TextView text);
  void WriteBlankLines(std::int32_t lines);
  void Close();

 private:
  void checkReading() const;
  void checkWriting() const;
  void advance(std::size_t to);

  IoMode mode_;
  bool unicode_;
  int codePage_;
  Text content_;  // of a stream for reading
  std::size_t pos_ = 0;
  std::FILE* out_ = nullptr;
  bool closed_ = false;
  std::int32_t line_ = 1;
  std::int32_t column_ = 1;
};

}  // namespace scripting
