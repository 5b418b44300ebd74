// The problems Upload reports, with their internal numbers and the texts the pages show.
// Some only stop the pass; the others are noted and the last one noted is reported at the end.
#pragma once

#include <cstdint>
#include <optional>

#include "automation/error.h"

namespace upload {

using automation::Text;
using automation::TextView;

enum class Problem : std::uint32_t {
  Exists = 0x80040065,
  EmptyContent = 0x80040066,
  EmptyFileName = 0x80040067,
  TooLarge = 0x80040068,
  TooMany = 0x80040069,
  NothingSelected = 0x8004006B,
  Path = 0x8004006C,
};

// A noted problem and the part that noted it.
struct NotedProblem {
  Problem problem;
  Text fieldName;
  Text fileName;
};
using Pending = std::optional<NotedProblem>;

Text problemText(const NotedProblem& noted);

// Ends the pass: raises the problem as an automation error whose description is its text.
[[noreturn]] void stopWith(Problem problem);

}  // namespace upload
