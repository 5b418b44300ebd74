// Makes Scripting.Dictionary and Scripting.FileSystemObject creatable through the registry.
#include "scripting/registration.h"

#include "scripting/class_ids.h"
#include "scripting/dictionary.h"
#include "scripting/file_system_object.h"

namespace scripting {

void registerClasses(automation::ClassRegistry& registry, int ansiCodePage) {
  registry.add({u"Scripting.Dictionary", kDictionaryClsid, u"IDictionary", kDictionaryIid,
                [] { return automation::ObjectRef(std::make_shared<Dictionary>()); }});
  registry.add({u"Scripting.FileSystemObject", kFileSystemObjectClsid, u"IFileSystem3",
                kFileSystemIid, [ansiCodePage] {
                  return automation::ObjectRef(std::make_shared<FileSystemObject>(ansiCodePage));
                }});
}

}  // namespace scripting
