// A progress bar on standard error, shown only when it is a terminal and the run is long
// enough for one to help.
#ifndef TOOLS_BALANCE_RASTER_PROGRESS_BAR_H
#define TOOLS_BALANCE_RASTER_PROGRESS_BAR_H

#include <chrono>

class ProgressBar {
 public:
  explicit ProgressBar(long total);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void advance(long done);

 private:
  long total_;
  int shownPercent_ = -1;
  bool enabled_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

#endif
