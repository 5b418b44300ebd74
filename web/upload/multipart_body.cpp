#include "multipart_body.h"

namespace upload::testing {

MultipartBody::MultipartBody(std::string boundary) : boundary_(std::move(boundary)) {}

MultipartBody& MultipartBody::field(const std::string& name, const std::string& value) {
  parts_ += "--" + boundary_ + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" +
            value + "\r\n";
  return *this;
}

MultipartBody& MultipartBody::file(const std::string& name, const std::string& fileName,
                                   const std::string& content, const std::string& contentType) {
  parts_ += "--" + boundary_ + "\r\nContent-Disposition: form-data; name=\"" + name +
            "\"; filename=\"" + fileName + "\"\r\nContent-Type: " + contentType + "\r\n\r\n" +
            content + "\r\n";
  return *this;
}

std::string MultipartBody::bytes() const { return parts_ + "--" + boundary_ + "--\r\n"; }

std::string MultipartBody::contentType() const {
  return "multipart/form-data; boundary=" + boundary_;
}

}  // namespace upload::testing
