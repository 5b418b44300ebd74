#include "progress_bar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 40;
constexpr auto kQuietStart = std::chrono::milliseconds(500);

}  // namespace

ProgressBar::ProgressBar(long total) : total_(total > 0 ? total : 1), enabled_(isatty(2) != 0) {}

ProgressBar::~ProgressBar() {
  if (shownPercent_ >= 0) std::fputc('\n', stderr);
}

void ProgressBar::advance(long done) {
  if (!enabled_ || std::chrono::steady_clock::now() - start_ < kQuietStart) return;
  const int percent = static_cast<int>(done * 100 / total_);
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  const int filled = percent * kWidth / 100;
  std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
               std::string(kWidth - filled, ' ').c_str(), percent);
  std::fflush(stderr);
}
