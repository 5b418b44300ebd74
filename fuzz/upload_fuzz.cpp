// Fuzzes SystemInit::Upload with arbitrary request bodies. The first byte of an input picks the
// settings (memory only or writing, overwrite mode, size limit); the rest is the body. Files
// land in a private drive folder that is checked and emptied every few hundred runs: nothing
// may ever be written outside it.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "asp/scripting_context.h"
#include "upload/system_init.h"

namespace {

namespace fs = std::filesystem;

const fs::path& drive() {
  static const fs::path root = [] {
    char name[] = "/tmp/balance-upload-fuzz-XXXXXX";
    const fs::path made = mkdtemp(name);
    setenv("BALANCE_DRIVE_D", made.c_str(), 1);
    return made;
  }();
  return root;
}

void checkAndEmptyDrive() {
  const fs::path folder = drive() / "upload";
  for (const auto& entry : fs::recursive_directory_iterator(drive())) {
    if (entry.is_regular_file() && entry.path().parent_path() != folder) {
      std::fprintf(stderr, "file written outside the upload folder: %s\n", entry.path().c_str());
      abort();
    }
  }
  fs::remove_all(folder);
  fs::create_directory(folder);
}

void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken invariant: %s\n", what);
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static unsigned runs = 0;
  if (runs++ % 512 == 0) checkAndEmptyDrive();
  if (size == 0) return 0;

  const std::uint8_t settings = data[0];
  auto request = std::make_shared<asp::Request>();
  request->setBody(std::string(reinterpret_cast<const char*>(data) + 1, size - 1),
                   "multipart/form-data");
  auto context = std::make_shared<asp::ScriptingContext>(
      asp::PageObjects{request, std::make_shared<asp::Response>(),
                       std::make_shared<asp::Server>(
                           nullptr, [](automation::TextView v) { return automation::Text(v); }),
                       nullptr, nullptr});

  upload::SystemInit receiver;
  receiver.OnStartPage(automation::Variant(automation::ObjectRef(context)));
  if ((settings & 1) == 0) receiver.UpToFile(2);
  const std::int16_t overwrite = (settings & 2) ? 2 : 1;
  const std::int32_t maxSize = (settings & 4) ? 16 : 0;
  const automation::Text result = receiver.Upload(maxSize, u"d:\\upload\\", overwrite);

  require(!result.empty(), "Upload answers a text");
  const automation::Text decoded =
      upload::AnsiCodePage::system().decode(upload::ByteSpan(data + 1, size - 1));
  std::int32_t markers = 0;
  for (auto at = decoded.find(u"; name="); at != automation::Text::npos;
       at = decoded.find(u"; name=", at + 1)) {
    ++markers;
  }
  require(receiver.count() == markers, "count is the markers of the decoded body");
  if (result == u"OK") {
    require(receiver.count() >= 1 && receiver.count() <= 255,
            "a complete pass read 1 to 255 parts");
  }
  try {
    for (const automation::Text name : {u"a", u"f", u""}) {
      require(receiver.Size(name) <= static_cast<std::int32_t>(size), "a part fits in the body");
      receiver.FileName(name);
      receiver.Form(name);
    }
  } catch (const automation::AutomationError&) {
    // A lookup past the tables after an early stop.
  }
  receiver.OnEndPage();
  return 0;
}
