// Response: collects what the page writes. Text is kept as UTF-16 and encoded into the
// page's code page only when the host sends it.
#pragma once

#include <string>
#include <vector>

#include "automation/object.h"

namespace asp {

using automation::Text;
using automation::TextView;
using automation::Variant;

// Thrown by Response.End and Response.Redirect: the page stops, what it wrote is sent.
struct ResponseEnd {};

class Response : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  void Write(const Variant& v);  // the value's text; empty and null write nothing
  void write(TextView s) { text_ += s; }
  void BinaryWrite(const Variant& bytes);
  void Clear() {
    text_.clear();
    binary_.clear();
  }
  [[noreturn]] void End();
  [[noreturn]] void Redirect(TextView url);
  void AddHeader(Text name, Text value);
  void setCookie(Text name, Text value);

  Text ContentType = u"text/html";
  Text Charset;
  Text Status = u"200 OK";

  const Text& text() const { return text_; }
  const std::string& binary() const { return binary_; }  // BinaryWrite bytes, after the text
  const std::vector<std::pair<Text, Text>>& headers() const { return headers_; }

 private:
  Text text_;
  std::string binary_;
  std::vector<std::pair<Text, Text>> headers_;
};

}  // namespace asp
