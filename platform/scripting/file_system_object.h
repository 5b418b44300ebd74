// Scripting.FileSystemObject for pages: text files, folders and existence tests, confined to
// the mapped drives (fso/confined_path.h). ANSI text is read and written in the code page the
// host gives at registration.
#pragma once

#include <filesystem>

#include "automation/object.h"
#include "fso/confined_path.h"

namespace scripting {

using automation::Text;
using automation::TextView;
using automation::Variant;
using fso::ConfinedPath;

class FileSystemObject : public automation::Dispatch {
 public:
  explicit FileSystemObject(int ansiCodePage) : codePage_(ansiCodePage) {}
  const automation::TypeInfo& typeInfo() const override;

  // False also for a path outside the mapped drives.
  bool FileExists(TextView path) const;
  bool FolderExists(TextView path) const;
  bool DriveExists(TextView drive) const;
  automation::ObjectRef OpenTextFile(TextView path, std::int32_t ioMode, bool create,
                                     std::int32_t format) const;
  automation::ObjectRef CreateTextFile(TextView path, bool overwrite, bool unicode) const;
  automation::ObjectRef CreateFolder(TextView path) const;
  automation::ObjectRef GetFile(TextView path) const;
  automation::ObjectRef GetFolder(TextView path) const;
  void DeleteFile(TextView path) const;
  void DeleteFolder(TextView path) const;
  void CopyFile(TextView source, TextView destination, bool overwrite) const;
  void MoveFile(TextView source, TextView destination) const;

  // Path text alone, without touching the disk.
  static Text BuildPath(TextView path, TextView name);
  static Text GetFileName(TextView path);
  static Text GetBaseName(TextView path);
  static Text GetExtensionName(TextView path);
  static Text GetParentFolderName(TextView path);

 private:
  int codePage_;
};

// A file or folder found on a mapped drive, as GetFile, GetFolder and the collections of a
// folder give it.
class FileItem : public automation::Dispatch {
 public:
  FileItem(ConfinedPath path, int codePage) : path_(std::move(path)), codePage_(codePage) {}
  const automation::TypeInfo& typeInfo() const override;
  const ConfinedPath& path() const { return path_; }
  bool isFolder() const { return std::filesystem::is_directory(path_.host); }
  std::optional<std::vector<Variant>> enumerate() override;  // a folder's files

  // The files or subfolders of a folder, as objects.
  std::vector<Variant> children(bool folders) const;

 private:
  ConfinedPath path_;
  int codePage_;
};

}  // namespace scripting
