// The console reporter of the benchmarks that print ratios: it keeps, for every benchmark, the
// median of its repetitions (or its single run), so Finalize can set them side by side.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class MedianReporter : public benchmark::ConsoleReporter {
 public:
  struct Times {
    double real = 0;
    double cpu = 0;
  };

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // Keyed by function and arguments, without repetition or timing suffixes.
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median || (run.run_type == Run::RT_Iteration && !medians_.count(name))) {
        times_[name] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
      }
      if (median) medians_.insert(name);
    }
  }

 protected:
  std::map<std::string, Times> times_;

 private:
  std::set<std::string> medians_;
};
