#include "body_buffer.h"

#include "automation/error.h"

namespace upload {

BodyBuffer::BodyBuffer(automation::Variant::Bytes bytes)
    : bytes_(std::move(bytes)), end_(static_cast<Position>(bytes_.size())) {}

ByteSpan BodyBuffer::from(Position at) const {
  if (at < origin_ || at > end_) automation::throwInvalidProcedureCall();
  return ByteSpan(bytes_).subspan(toSize(at - origin_));
}

ByteSpan BodyBuffer::slice(Position at, Position length) const {
  const ByteSpan rest = from(at);
  if (length < 0 || toSize(length) > rest.size()) automation::throwInvalidProcedureCall();
  return rest.first(toSize(length));
}

automation::Variant::Bytes BodyBuffer::take(Position at, Position length) {
  const ByteSpan wanted = slice(at, length);
  if (handedOver_ || length < (end_ - origin_) / 2) return {wanted.begin(), wanted.end()};

  const ByteSpan behind = from(at + length);
  automation::Variant::Bytes rest(behind.begin(), behind.end());
  automation::Variant::Bytes taken = std::move(bytes_);
  taken.erase(taken.begin(), taken.begin() + static_cast<std::ptrdiff_t>(at - origin_));
  taken.resize(toSize(length));
  bytes_ = std::move(rest);
  origin_ = at + length;
  handedOver_ = true;
  return taken;
}

}  // namespace upload
