// Texts of the exchange: the one-line summary of a failure and the host's plain replies.
#include "exchange.h"

#include <cstdio>

namespace host {

std::string failureSummary(const ScriptFailure& failure) {
  char code[16];
  std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(failure.code));
  std::string where = failure.where.file;
  if (failure.where.line > 0) where += ":" + std::to_string(failure.where.line);
  return "error " + std::string(code) + ": " + automation::toUtf8(failure.description) + " (" +
         where + ")";
}

HttpReply plainReply(int status, std::string reason) {
  HttpReply r;
  r.status = status;
  r.reason = std::move(reason);
  r.headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
  r.body = std::to_string(status) + " " + r.reason + "\n";
  return r;
}

bool isUrlEncodedForm(std::string_view contentType) {
  constexpr std::string_view kForm = "application/x-www-form-urlencoded";
  if (contentType.size() < kForm.size()) return false;
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    char c = contentType[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kForm[i]) return false;
  }
  return true;
}

}  // namespace host
