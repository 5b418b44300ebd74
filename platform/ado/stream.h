// ADODB.Stream, as pages use it to send a stored file: a binary stream opened empty, filled
// from a file on a mapped drive (LoadFromFile, confined as the FileSystemObject is), then read
// in whole or in parts for Response.BinaryWrite. Text streams, writing and saving are not
// offered: the members a page would call for them are unknown names.
#pragma once

#include "automation/object.h"

namespace ado {

using automation::TextView;
using automation::Variant;

class Stream : public automation::Dispatch {
 public:
  enum StreamType : std::int32_t { adTypeBinary = 1, adTypeText = 2 };
  static constexpr std::int32_t adReadAll = -1;

  const automation::TypeInfo& typeInfo() const override;

  std::int32_t Type() const { return type_; }
  // Only while the stream is closed or at its start, as ADO allows.
  void setType(std::int32_t type);
  bool isOpen() const { return open_; }
  void Open();
  void Close();
  // Replaces the content with the file's bytes and goes to the start. A path outside the
  // mapped drives, a folder or a missing file fails as "File could not be opened."
  void LoadFromFile(TextView pagePath);
  // The next `count` bytes (the rest for adReadAll); null at the end, as ADO gives it.
  Variant Read(std::int32_t count = adReadAll);
  std::int32_t Size() const;
  std::int32_t Position() const;
  void setPosition(std::int32_t position);
  bool EOS() const;

 private:
  void checkOpen() const;

  std::int32_t type_ = adTypeText;
  bool open_ = false;
  automation::Variant::Bytes content_;
  std::size_t position_ = 0;
};

}  // namespace ado
