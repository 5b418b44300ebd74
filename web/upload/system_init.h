// SystemInit: the receiver of forms posted as multipart/form-data. A page sets the limits and
// the target folder, calls Upload, which splits the body into parts and writes the posted files
// (unless asked to keep them in memory), then reads each field back by name.
//
// One instance serves one page; it keeps the page's scripting context, Request and Server from
// OnStartPage to OnEndPage. Upload never raises: it answers "OK" or a message.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "asp/scripting_context.h"
#include "automation/object.h"
#include "code_page.h"

namespace upload {

using automation::Variant;

class SystemInit : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  // Page events.
  void OnStartPage(const Variant& PassedScriptingcontext);
  void OnEndPage();

  // Settings, before Upload.
  void UpToFile(std::int32_t lngReal);
  void NewFileName(Text strNewFileName);
  void MaxSize(std::int32_t lngNewMaxSize);
  void Path(Text varNewPath);
  void OverWrite(std::int16_t lngNewOverWrite);

  Text Upload(std::int32_t lngMaxSize = 0, Text ServerPath = u"", std::int16_t lngOverWrite = 0);

  // Results, after Upload. A lookup that passes the end of the tables (after an Upload that
  // stopped early) raises the subscript-out-of-range error.
  std::int32_t count() const { return count_; }
  Text FileName(TextView varformname) const;
  std::int32_t Size(TextView varformname) const;
  Variant Form(TextView varformname) const;

 private:
  // What an Upload pass builds; it replaces the instance's tables only when the pass completes.
  struct Parts {
    std::vector<Text> names;
    std::vector<Variant> values;
    std::vector<std::int32_t> sizes;
    std::vector<Text> fileNames;
  };
  struct Settings {
    std::int32_t maxSize;
    std::int16_t overwrite;
    Text directory;
  };
  class Pass;

  Text runUpload(std::int32_t lngMaxSize, const Text& ServerPath, std::int16_t lngOverWrite);
  Settings effectiveSettings(std::int32_t lngMaxSize, const Text& ServerPath,
                             std::int16_t lngOverWrite) const;
  Variant::Bytes readBody() const;
  // Index of the first part named `name`, or -1.
  int lookup(TextView name) const;

  bool SaveFile(Text& directory, Text fileName, ByteSpan content, std::int16_t overwrite) const;
  static Text BinToStr(ByteSpan bytes);
  static Variant::Bytes StrToBin(TextView text);

  std::shared_ptr<asp::ScriptingContext> context_;
  std::shared_ptr<asp::Request> request_;
  std::shared_ptr<asp::Server> server_;

  std::int32_t count_ = 0;
  Parts parts_;
  std::int16_t overWrite_ = 0;
  std::int32_t maxSize_ = 0;
  Text path_;
  std::int32_t upToFile_ = 0;
  Text newFileName_;
};

}  // namespace upload
