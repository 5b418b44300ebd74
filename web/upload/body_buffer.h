// The request body during one Upload pass, addressed by positions that never change. The pass
// reads it front to back, so the one large content it cuts out may take over the buffer itself
// instead of a copy: a 64 MiB file then costs no second 64 MiB. After that only the bytes
// behind the content stay readable, which is all a forward pass needs.
#pragma once

#include <cstdint>

#include "automation/variant.h"
#include "code_page.h"

namespace upload {

class BodyBuffer {
 public:
  using Position = std::int64_t;  // 0-based

  explicit BodyBuffer(automation::Variant::Bytes bytes);

  Position size() const { return end_; }
  // The bytes from `at` to the end. Raises the invalid-procedure-call error for a position
  // outside the body or before what the buffer still holds.
  ByteSpan from(Position at) const;
  ByteSpan slice(Position at, Position length) const;
  // A copy of the bytes, or the buffer itself when they are at least half of what it holds.
  automation::Variant::Bytes take(Position at, Position length);

 private:
  static std::size_t toSize(Position p) { return static_cast<std::size_t>(p); }

  automation::Variant::Bytes bytes_;
  Position origin_ = 0;  // position of bytes_[0]
  Position end_;
  bool handedOver_ = false;
};

}  // namespace upload
