// Upload: one pass over the posted body. Positions follow the browser's layout of a
// multipart/form-data body:
//
//   --boundary CRLF
//   Content-Disposition: form-data; name="field" CRLF CRLF value CRLF
//   --boundary CRLF
//   Content-Disposition: form-data; name="file"; filename="C:\docs\a.txt" CRLF
//   Content-Type: text/plain CRLF CRLF content CRLF
//   --boundary-- CRLF
//
// Every search moves forward from where the last one ended, and a search that finds nothing
// ends the pass, so a malformed body costs one scan and never a read outside it.
#include <cstring>

#include "base_name.h"
#include "body_buffer.h"
#include "frame/html_encoding.h"
#include "problems.h"
#include "system_init.h"

namespace upload {
namespace {

using Position = BodyBuffer::Position;

constexpr std::int32_t kDefaultMaxSize = 100000;
constexpr std::int32_t kMostParts = 255;
constexpr Position kFileMarkerWindow = 15;
constexpr std::int32_t kMemoryOnly = 2;

Position markerLength(const automation::Variant::Bytes& marker) {
  return static_cast<Position>(marker.size());
}

}  // namespace

class SystemInit::Pass {
 public:
  Pass(const SystemInit& owner, Settings& settings, Variant::Bytes body)
      : owner_(owner), settings_(settings), body_(std::move(body)) {
    const ByteSpan all = body_.from(0);
    static const std::uint8_t kCrLf[] = {'\r', '\n'};
    const void* crLf = all.empty() ? nullptr : memmem(all.data(), all.size(), kCrLf, sizeof kCrLf);
    if (crLf) {
      lineLength_ = static_cast<const std::uint8_t*>(crLf) - all.data() + 2;
      delimiter_.assign(all.begin(), all.begin() + (lineLength_ - 2));
    }
  }

  // The parts the body claims to have: "; name=" in its decoded text, file contents included.
  std::int32_t countParts() const {
    const auto marker = StrToBin(u"; name=");
    return static_cast<std::int32_t>(countInDecoded(
        body_.from(0),
        std::string_view(reinterpret_cast<const char*>(marker.data()), marker.size())));
  }

  Parts run(std::int32_t count, Pending& pending) {
    if (lineLength_ == 0) automation::throwInvalidProcedureCall();
    Parts parts;
    Position s = lineLength_ - 1;
    for (std::int32_t i = 0; i < count; ++i) s = part(s, parts, pending);
    return parts;
  }

 private:
  // Reads the part whose name marker is the first at or after `s`; answers where to go on.
  Position part(Position s, Parts& parts, Pending& pending) {
    const Position nameAt = find(nameMarker_, s);
    const Position afterName = find(quote_, nameAt + markerLength(nameMarker_)) + 1;
    Text name = automation::replaceAll(
        automation::replaceAll(BinToStr(slice(nameAt, afterName - nameAt)), u"; name=", u""), u"\"",
        u"");
    return isFilePart(afterName) ? filePart(afterName, std::move(name), parts, pending)
                                 : fieldPart(afterName, std::move(name), parts);
  }

  bool isFilePart(Position afterName) const {
    const ByteSpan window = body_.from(afterName).first(
        static_cast<std::size_t>(std::min<Position>(kFileMarkerWindow, body_.size() - afterName)));
    return !window.empty() &&
           memmem(window.data(), window.size(), fileMarker_.data(), fileMarker_.size()) != nullptr;
  }

  Position filePart(Position afterName, Text name, Parts& parts, Pending& pending) {
    const Position fileNameAt = find(fileNameMarker_, afterName);
    const Position fileNameEnd = find(quote_, fileNameAt + markerLength(fileNameMarker_));
    const Text posted = automation::replaceAll(
        automation::replaceAll(BinToStr(slice(fileNameAt, fileNameEnd - fileNameAt)), u"filename=",
                               u""),
        u"\"", u"");
    const auto base = baseName(posted);
    const Text fileName = base.value_or(Text());
    if (posted.empty() || !base) pending = NotedProblem{Problem::EmptyFileName, name, fileName};

    const Position contentAt = find(blankLine_, fileNameEnd) + 4;
    const Position contentEnd = find(delimiter_, contentAt) - 2;
    const Position size = contentEnd - contentAt;
    if (size < 0) automation::throwInvalidProcedureCall();
    if (size < 2) pending = NotedProblem{Problem::EmptyContent, name, fileName};
    Variant::Bytes content;
    if (size > settings_.maxSize) {
      pending = NotedProblem{Problem::TooLarge, name, fileName};
    } else {
      content = body_.take(contentAt, size);
    }
    if (owner_.upToFile_ != kMemoryOnly &&
        !owner_.SaveFile(settings_.directory, fileName, content, settings_.overwrite)) {
      stopWith(Problem::Exists);
    }
    parts.names.push_back(std::move(name));
    parts.sizes.push_back(static_cast<std::int32_t>(size));
    parts.values.emplace_back(std::move(content));
    parts.fileNames.push_back(fileName);
    return contentEnd + lineLength_ - 2;
  }

  Position fieldPart(Position afterName, Text name, Parts& parts) {
    const Position valueAt = afterName + 4;
    const Position valueEnd = find(delimiter_, valueAt) - 2;
    const Position size = valueEnd - valueAt;
    if (size < 0) automation::throwInvalidProcedureCall();
    parts.names.push_back(std::move(name));
    parts.sizes.push_back(static_cast<std::int32_t>(size));
    parts.values.push_back(Variant(BinToStr(slice(valueAt, size))));
    parts.fileNames.emplace_back();
    return valueEnd + lineLength_ - 2;
  }

  // The first occurrence of `what` at or after `from`; a search that finds nothing ends the
  // pass. An empty `what` is found where the search starts.
  Position find(const Variant::Bytes& what, Position from) const {
    const ByteSpan rest = body_.from(from);
    if (what.empty()) return from;
    const void* hit =
        rest.empty() ? nullptr : memmem(rest.data(), rest.size(), what.data(), what.size());
    if (!hit) automation::throwInvalidProcedureCall();
    return from + (static_cast<const std::uint8_t*>(hit) - rest.data());
  }

  ByteSpan slice(Position at, Position length) const { return body_.slice(at, length); }

  const SystemInit& owner_;
  Settings& settings_;
  BodyBuffer body_;
  Position lineLength_ = 0;  // of the boundary line, CR LF included; 0 when the body has none
  Variant::Bytes delimiter_;
  // The markers, turned into bytes once per pass.
  const Variant::Bytes nameMarker_ = StrToBin(u"; name=\"");
  const Variant::Bytes quote_ = StrToBin(u"\"");
  const Variant::Bytes fileMarker_ = StrToBin(u"; filename=");
  const Variant::Bytes fileNameMarker_ = StrToBin(u"filename=\"");
  const Variant::Bytes blankLine_ = StrToBin(u"\r\n\r\n");
};

// The page writes the answer: a failure's description, which may name a posted file, is
// encoded as element text (the problem texts encode their names themselves).
Text SystemInit::Upload(std::int32_t lngMaxSize, Text ServerPath, std::int16_t lngOverWrite) {
  try {
    return runUpload(lngMaxSize, ServerPath, lngOverWrite);
  } catch (const automation::AutomationError& e) {
    return frame::htmlText(e.description());
  } catch (const std::bad_alloc&) {
    return u"Out of memory";
  } catch (const std::exception& e) {
    Text description;
    for (const char* c = e.what(); *c; ++c) description += static_cast<char16_t>(*c & 0x7F);
    return frame::htmlText(description);
  }
}

Text SystemInit::runUpload(std::int32_t lngMaxSize, const Text& ServerPath,
                           std::int16_t lngOverWrite) {
  Settings settings = effectiveSettings(lngMaxSize, ServerPath, lngOverWrite);
  Pending pending;
  if (settings.directory.find(u':') == Text::npos) pending = NotedProblem{Problem::Path, u"", u""};

  Pass pass(*this, settings, readBody());
  count_ = pass.countParts();
  if (count_ > kMostParts) stopWith(Problem::TooMany);
  if (count_ == 0) stopWith(Problem::NothingSelected);

  parts_ = pass.run(count_, pending);
  return pending ? problemText(*pending) : Text(u"OK");
}

SystemInit::Settings SystemInit::effectiveSettings(std::int32_t lngMaxSize, const Text& ServerPath,
                                                   std::int16_t lngOverWrite) const {
  Settings settings;
  settings.maxSize = maxSize_ != 0 ? maxSize_ : lngMaxSize != 0 ? lngMaxSize : kDefaultMaxSize;
  settings.overwrite = overWrite_ != 0 ? overWrite_ : lngOverWrite != 0 ? lngOverWrite : 1;
  settings.directory = path_.size() > 2         ? path_
                       : ServerPath.size() >= 2 ? ServerPath
                                                : Text(u"c:\\");
  return settings;
}

Variant::Bytes SystemInit::readBody() const {
  if (!request_) automation::throwObjectNotSet();
  std::int32_t n = request_->TotalBytes();
  return request_->BinaryRead(n);
}

}  // namespace upload
