// SaveFile: where a posted file goes and whether an existing file may be replaced.
#include "fso/binary_file.h"
#include "fso/file_system_object.h"
#include "system_init.h"

namespace upload {

bool SystemInit::SaveFile(Text& directory, Text fileName, ByteSpan content,
                          std::int16_t overwrite) const {
  if (!newFileName_.empty()) fileName = newFileName_;
  if (directory.empty() || directory.back() != u'\\') directory += u'\\';
  const Text fullPath = directory + fileName;
  const bool exists = fso::FileSystemObject().FileExists(fullPath);
  const bool replace = overwrite == 2;
  if (exists && !replace) return false;
  // An empty content leaves an existing file as it is; a missing one is created empty.
  if (content.empty()) {
    fso::writeBinaryFile(fullPath, content, fso::Existing::Keep);
    return true;
  }
  return fso::writeBinaryFile(fullPath, content,
                              replace ? fso::Existing::Replace : fso::Existing::Keep);
}

}  // namespace upload
