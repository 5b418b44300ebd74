// Request bodies built the way a browser posts a multipart/form-data form, for the tests, the
// fuzzing seeds and the benchmarks.
#pragma once

#include <string>

namespace upload::testing {

class MultipartBody {
 public:
  explicit MultipartBody(std::string boundary = "----WebKitFormBoundary7MA4YWxkTrZu0gW");

  MultipartBody& field(const std::string& name, const std::string& value);
  // A file input; an input left empty posts filename="" and no content.
  MultipartBody& file(const std::string& name, const std::string& fileName,
                      const std::string& content,
                      const std::string& contentType = "application/octet-stream");

  // The body with its closing delimiter.
  std::string bytes() const;
  std::string contentType() const;

 private:
  std::string boundary_;
  std::string parts_;
};

}  // namespace upload::testing
