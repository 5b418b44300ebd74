#!/bin/sh
# fuzz/run.sh SECONDS: builds the upload fuzz target with clang-14 (ASan + UBSan) in build-fuzz
# and runs it for SECONDS; fails on a finding (crash, leak, hang, memory blow-up).
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" --target upload_fuzz -j 2

# New inputs go to a working corpus in the build folder; the committed seeds stay as they are.
mkdir -p "$build/corpus/upload" "$build/artifacts"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  "$build/upload_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
  -max_len=65536 -dict="$root/fuzz/upload.dict" -artifact_prefix="$build/artifacts/" \
  -print_final_stats=1 "$build/corpus/upload" "$root/fuzz/corpus/upload"
