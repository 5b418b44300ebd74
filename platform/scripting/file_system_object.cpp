// The FileSystemObject's members, its File and Folder objects and their collections.
#include "file_system_object.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "scripting/class_ids.h"
#include "scripting/scripting_errors.h"
#include "scripting/text_stream.h"

namespace scripting {

using automation::Args;
using automation::byVal;
using automation::MemberTable;
using automation::ObjectRef;
using automation::optionalByVal;
using automation::toText;

namespace fs = std::filesystem;

namespace {

bool isSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// `path` without trailing separators, and where its last component starts.
std::pair<TextView, std::size_t> lastComponent(TextView path) {
  while (path.size() > 1 && isSeparator(path.back()) && !(path.size() == 3 && path[1] == u':')) {
    path.remove_suffix(1);
  }
  std::size_t start = path.find_last_of(u"\\/:");
  return {path, start == TextView::npos ? 0 : start + 1};
}

std::optional<ConfinedPath> confinedOrNothing(TextView path) { return fso::confine(path); }

// Scripts learn of a path outside the mapped drives as of any missing path.
ConfinedPath confine(TextView path) {
  auto p = fso::confine(path);
  if (!p) throwPathNotFound();
  return std::move(*p);
}

// A collection of a folder's files or subfolders: Count, Item by name, enumeration.
class ItemCollection : public automation::Dispatch {
 public:
  explicit ItemCollection(std::vector<Variant> items) : items_(std::move(items)) {}
  const automation::TypeInfo& typeInfo() const override {
    static const automation::TypeInfo info =
        MemberTable<ItemCollection>(u"IFileCollection", u"")
            .property(u"Item", {byVal(u"Key")},
                      [](ItemCollection& c, Args a) {
                        Text name = toText(a[0]);
                        for (const auto& item : c.items_) {
                          auto& file = static_cast<FileItem&>(*item.object());
                          if (automation::equalsIgnoreCase(GetName(file), name)) return item;
                        }
                        throwFileNotFound();
                      },
                      {})
            .asDefault()
            .readOnly(u"Count",
                      [](ItemCollection& c, Args) {
                        return Variant(static_cast<std::int32_t>(c.items_.size()));
                      })
            .build();
    return info;
  }
  std::optional<std::vector<Variant>> enumerate() override { return items_; }

  static Text GetName(const FileItem& f) { return FileSystemObject::GetFileName(f.path().page); }

 private:
  std::vector<Variant> items_;
};

automation::Date modified(const fs::path& p) {
  std::error_code error;
  auto when = fs::last_write_time(p, error);
  if (error) throwFileNotFound();
  auto system = std::chrono::file_clock::to_sys(when);
  std::time_t t = std::chrono::system_clock::to_time_t(system);
  std::tm local{};
  localtime_r(&t, &local);
  return automation::Date::fromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                     local.tm_hour, local.tm_min, local.tm_sec);
}

std::int64_t sizeOf(const fs::path& p) {
  std::error_code error;
  if (fs::is_directory(p, error)) {
    std::int64_t total = 0;
    for (const auto& e : fs::recursive_directory_iterator(p, error)) {
      if (e.is_regular_file(error)) total += static_cast<std::int64_t>(e.file_size(error));
    }
    return total;
  }
  auto n = fs::file_size(p, error);
  if (error) throwFileNotFound();
  return static_cast<std::int64_t>(n);
}

bool isTextTrue(const Variant& v, bool fallback) {
  return v.isMissing() ? fallback : automation::toBool(v);
}

}  // namespace

bool FileSystemObject::FileExists(TextView path) const {
  auto p = confinedOrNothing(path);
  std::error_code ignored;
  return p && fs::is_regular_file(p->host, ignored);
}

bool FileSystemObject::FolderExists(TextView path) const {
  auto p = confinedOrNothing(path);
  std::error_code ignored;
  return p && fs::is_directory(p->host, ignored);
}

bool FileSystemObject::DriveExists(TextView drive) const {
  if (drive.empty()) return false;
  return FolderExists(Text{drive[0], u':', u'\\'});
}

ObjectRef FileSystemObject::OpenTextFile(TextView path, std::int32_t ioMode, bool create,
                                         std::int32_t format) const {
  if (ioMode != ForReading && ioMode != ForWriting && ioMode != ForAppending) {
    automation::throwInvalidProcedureCall();
  }
  return std::make_shared<TextStream>(confine(path).host, static_cast<IoMode>(ioMode), create,
                                      format == TristateTrue, codePage_);
}

ObjectRef FileSystemObject::CreateTextFile(TextView path, bool overwrite, bool unicode) const {
  ConfinedPath p = confine(path);
  std::error_code ignored;
  if (!overwrite && fs::exists(p.host, ignored)) throwFileExists();
  return std::make_shared<TextStream>(p.host, ForWriting, true, unicode, codePage_);
}

ObjectRef FileSystemObject::CreateFolder(TextView path) const {
  ConfinedPath p = confine(path);
  // "d:\upload\new\" names the folder "new" as well.
  if (!p.host.has_filename()) p.host = p.host.parent_path();
  std::error_code error;
  if (fs::exists(p.host, error)) throwFileExists();
  if (!fs::is_directory(p.host.parent_path(), error)) throwPathNotFound();
  if (!fs::create_directory(p.host, error)) throwPermissionDenied();
  return std::make_shared<FileItem>(std::move(p), codePage_);
}

ObjectRef FileSystemObject::GetFile(TextView path) const {
  ConfinedPath p = confine(path);
  std::error_code ignored;
  if (!fs::is_regular_file(p.host, ignored)) throwFileNotFound();
  return std::make_shared<FileItem>(std::move(p), codePage_);
}

ObjectRef FileSystemObject::GetFolder(TextView path) const {
  ConfinedPath p = confine(path);
  std::error_code ignored;
  if (!fs::is_directory(p.host, ignored)) throwPathNotFound();
  return std::make_shared<FileItem>(std::move(p), codePage_);
}

void FileSystemObject::DeleteFile(TextView path) const {
  ConfinedPath p = confine(path);
  std::error_code error;
  if (!fs::is_regular_file(p.host, error)) throwFileNotFound();
  if (!fs::remove(p.host, error)) throwPermissionDenied();
}

void FileSystemObject::DeleteFolder(TextView path) const {
  ConfinedPath p = confine(path);
  std::error_code error;
  if (!fs::is_directory(p.host, error)) throwPathNotFound();
  // The drive's root itself is not the page's to delete.
  if (GetParentFolderName(p.page).empty()) throwPermissionDenied();
  if (fs::remove_all(p.host, error) == static_cast<std::uintmax_t>(-1) || error) {
    throwPermissionDenied();
  }
}

void FileSystemObject::CopyFile(TextView source, TextView destination, bool overwrite) const {
  ConfinedPath from = confine(source);
  ConfinedPath to = confine(destination);
  std::error_code error;
  if (!fs::is_regular_file(from.host, error)) throwFileNotFound();
  if (fs::is_directory(to.host, error)) to.host /= from.host.filename();
  if (!overwrite && fs::exists(to.host, error)) throwFileExists();
  fs::copy_file(from.host, to.host, fs::copy_options::overwrite_existing, error);
  if (error) throwPermissionDenied();
}

void FileSystemObject::MoveFile(TextView source, TextView destination) const {
  ConfinedPath from = confine(source);
  ConfinedPath to = confine(destination);
  std::error_code error;
  if (!fs::is_regular_file(from.host, error)) throwFileNotFound();
  if (fs::is_directory(to.host, error)) to.host /= from.host.filename();
  if (fs::exists(to.host, error)) throwFileExists();
  fs::rename(from.host, to.host, error);
  if (error) throwPermissionDenied();
}

Text FileSystemObject::BuildPath(TextView path, TextView name) {
  if (path.empty()) return Text(name);
  if (isSeparator(path.back()) || path.back() == u':' || (!name.empty() && isSeparator(name[0]))) {
    return Text(path) + Text(name);
  }
  return Text(path) + u"\\" + Text(name);
}

Text FileSystemObject::GetFileName(TextView path) {
  auto [trimmed, start] = lastComponent(path);
  return Text(trimmed.substr(start));
}

Text FileSystemObject::GetBaseName(TextView path) {
  Text name = GetFileName(path);
  std::size_t dot = name.rfind(u'.');
  return dot == Text::npos ? name : name.substr(0, dot);
}

Text FileSystemObject::GetExtensionName(TextView path) {
  Text name = GetFileName(path);
  std::size_t dot = name.rfind(u'.');
  return dot == Text::npos ? Text() : name.substr(dot + 1);
}

Text FileSystemObject::GetParentFolderName(TextView path) {
  auto [trimmed, start] = lastComponent(path);
  if (start == 0 || start == trimmed.size()) return {};
  TextView parent = trimmed.substr(0, start);
  // "d:\a" has the parent "d:\"; "d:\a\b" has "d:\a".
  if (parent.size() > 1 && isSeparator(parent.back()) && parent[parent.size() - 2] != u':') {
    parent.remove_suffix(1);
  }
  return Text(parent);
}

std::vector<Variant> FileItem::children(bool folders) const {
  std::vector<std::pair<Text, ConfinedPath>> found;
  std::error_code error;
  for (const auto& e : fs::directory_iterator(path_.host, error)) {
    if (e.is_directory(error) != folders) continue;
    Text name = automation::fromUtf8(e.path().filename().string());
    if (auto p = confinedOrNothing(FileSystemObject::BuildPath(path_.page, name))) {
      found.emplace_back(name, std::move(*p));
    }
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return automation::lower(a.first) < automation::lower(b.first);
  });
  std::vector<Variant> items;
  for (auto& [name, p] : found) {
    items.emplace_back(ObjectRef(std::make_shared<FileItem>(std::move(p), codePage_)));
  }
  return items;
}

std::optional<std::vector<Variant>> FileItem::enumerate() {
  if (!isFolder()) return std::nullopt;
  return children(false);
}

const automation::TypeInfo& FileItem::typeInfo() const {
  static const automation::TypeInfo info =
      MemberTable<FileItem>(u"IFile", u"")
          .readOnly(u"Path", [](FileItem& f, Args) { return Variant(f.path_.page); })
          .asDefault()
          .readOnly(u"Name",
                    [](FileItem& f, Args) {
                      return Variant(FileSystemObject::GetFileName(f.path_.page));
                    })
          .readOnly(u"ParentFolder",
                    [](FileItem& f, Args) {
                      return Variant(FileSystemObject::GetParentFolderName(f.path_.page));
                    })
          .readOnly(
              u"Size",
              [](FileItem& f, Args) { return Variant(static_cast<double>(sizeOf(f.path_.host))); })
          .readOnly(u"DateLastModified",
                    [](FileItem& f, Args) { return Variant(modified(f.path_.host)); })
          .readOnly(u"IsRootFolder",
                    [](FileItem& f, Args) {
                      return Variant(FileSystemObject::GetParentFolderName(f.path_.page).empty());
                    })
          .readOnly(
              u"Files",
              [](FileItem& f, Args) {
                if (!f.isFolder()) automation::throwUnknownName(u"Files");
                return Variant(ObjectRef(std::make_shared<ItemCollection>(f.children(false))));
              })
          .readOnly(u"SubFolders",
                    [](FileItem& f, Args) {
                      if (!f.isFolder()) automation::throwUnknownName(u"SubFolders");
                      return Variant(ObjectRef(std::make_shared<ItemCollection>(f.children(true))));
                    })
          .function(u"OpenAsTextStream", {optionalByVal(u"IOMode"), optionalByVal(u"Format")},
                    [](FileItem& f, Args a) {
                      FileSystemObject fso(f.codePage_);
                      return Variant(fso.OpenTextFile(
                          f.path_.page, a[0].isMissing() ? ForReading : automation::toInt32(a[0]),
                          false, a[1].isMissing() ? TristateFalse : automation::toInt32(a[1])));
                    })
          .sub(u"Delete", {optionalByVal(u"Force")},
               [](FileItem& f, Args) {
                 FileSystemObject fso(f.codePage_);
                 f.isFolder() ? fso.DeleteFolder(f.path_.page) : fso.DeleteFile(f.path_.page);
               })
          .build();
  return info;
}

const automation::TypeInfo& FileSystemObject::typeInfo() const {
  auto text = [](Text (*f)(TextView)) {
    return [f](FileSystemObject&, Args a) { return Variant(f(toText(a[0]))); };
  };
  static const automation::TypeInfo info =
      MemberTable<FileSystemObject>(u"IFileSystem3", kFileSystemIid)
          .function(u"BuildPath", {byVal(u"Path"), byVal(u"Name")},
                    [](FileSystemObject&, Args a) {
                      return Variant(BuildPath(toText(a[0]), toText(a[1])));
                    })
          .function(u"GetFileName", {byVal(u"Path")}, text(&GetFileName))
          .function(u"GetBaseName", {byVal(u"Path")}, text(&GetBaseName))
          .function(u"GetExtensionName", {byVal(u"Path")}, text(&GetExtensionName))
          .function(u"GetParentFolderName", {byVal(u"Path")}, text(&GetParentFolderName))
          .function(u"FileExists", {byVal(u"FileSpec")},
                    [](FileSystemObject& o, Args a) { return Variant(o.FileExists(toText(a[0]))); })
          .function(
              u"FolderExists", {byVal(u"FolderSpec")},
              [](FileSystemObject& o, Args a) { return Variant(o.FolderExists(toText(a[0]))); })
          .function(
              u"DriveExists", {byVal(u"DriveSpec")},
              [](FileSystemObject& o, Args a) { return Variant(o.DriveExists(toText(a[0]))); })
          .function(u"GetFile", {byVal(u"FilePath")},
                    [](FileSystemObject& o, Args a) { return Variant(o.GetFile(toText(a[0]))); })
          .function(u"GetFolder", {byVal(u"FolderPath")},
                    [](FileSystemObject& o, Args a) { return Variant(o.GetFolder(toText(a[0]))); })
          .function(
              u"CreateFolder", {byVal(u"Path")},
              [](FileSystemObject& o, Args a) { return Variant(o.CreateFolder(toText(a[0]))); })
          .sub(u"DeleteFile", {byVal(u"FileSpec"), optionalByVal(u"Force")},
               [](FileSystemObject& o, Args a) { o.DeleteFile(toText(a[0])); })
          .sub(u"DeleteFolder", {byVal(u"FolderSpec"), optionalByVal(u"Force")},
               [](FileSystemObject& o, Args a) { o.DeleteFolder(toText(a[0])); })
          .sub(u"CopyFile",
               {byVal(u"Source"), byVal(u"Destination"), optionalByVal(u"OverWriteFiles")},
               [](FileSystemObject& o, Args a) {
                 o.CopyFile(toText(a[0]), toText(a[1]), isTextTrue(a[2], true));
               })
          .sub(u"MoveFile", {byVal(u"Source"), byVal(u"Destination")},
               [](FileSystemObject& o, Args a) { o.MoveFile(toText(a[0]), toText(a[1])); })
          .function(u"OpenTextFile",
                    {byVal(u"FileName"), optionalByVal(u"IOMode"), optionalByVal(u"Create"),
                     optionalByVal(u"Format")},
                    [](FileSystemObject& o, Args a) {
                      return Variant(o.OpenTextFile(
                          toText(a[0]), a[1].isMissing() ? ForReading : automation::toInt32(a[1]),
                          isTextTrue(a[2], false),
                          a[3].isMissing() ? TristateFalse : automation::toInt32(a[3])));
                    })
          .function(u"CreateTextFile",
                    {byVal(u"FileName"), optionalByVal(u"Overwrite"), optionalByVal(u"Unicode")},
                    [](FileSystemObject& o, Args a) {
                      return Variant(o.CreateTextFile(toText(a[0]), isTextTrue(a[1], true),
                                                      isTextTrue(a[2], false)));
                    })
          .build();
  return info;
}

}  // namespace scripting
