#!/bin/sh
# fuzz/run.sh SECONDS [TARGET...]: builds the fuzz targets with clang-14 (ASan + UBSan) in
# build-fuzz and runs each for SECONDS, one after the other (upload, sql, request and page
# unless targets are named); fails on a finding (crash, leak, hang, memory blow-up).
set -eu
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-upload sql request page}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
for target in $targets; do
  cmake --build "$build" --target "${target}_fuzz" -j 2
done

for target in $targets; do
  # New inputs go to a working corpus in the build folder; the committed seeds stay as they are.
  mkdir -p "$build/corpus/$target" "$build/artifacts/$target"
  echo "fuzzing $target for $seconds s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -max_len=65536 -dict="$root/fuzz/$target.dict" -artifact_prefix="$build/artifacts/$target/" \
    -print_final_stats=1 "$build/corpus/$target" "$root/fuzz/corpus/$target"
done
