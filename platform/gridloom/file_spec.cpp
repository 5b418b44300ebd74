// File specifications: names as the host holds them, made absolute against the working directory.
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "gridloom/gridloom.h"

extern "C" int GLM_build_abs_fspec(char** out, int flags, const char* name) {
  if (out == nullptr || flags != 0 || name == nullptr || *name == '\0') return GLM_ERROR_ARGUMENT;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(name, error);
  if (error) return GLM_ERROR_ARGUMENT;
  const std::string text = absolute.lexically_normal().string();
  char* spec = static_cast<char*>(malloc_or_die(text.size() + 1));
  std::memcpy(spec, text.c_str(), text.size() + 1);
  *out = spec;
  return GLM_OK;
}
