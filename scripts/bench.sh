#!/usr/bin/env bash
# Runs every benchmark of a finished build: scripts/bench.sh BUILD_DIR
# Each prints its figures beside the baseline it is measured against in the same run.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
run() { echo "== $*"; "$@"; }
run "$build/bench/raster_balance_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
run "$build/bench/bench_ado" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
run "$build/bench/bench_dna" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
run "$build/bench/bench_permission" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
run "$build/bench/bench_upload" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
run "$build/bench/bench_scheduler" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
run "$root/bench/raster_apply.sh" "$build"
run "$root/bench/host.sh" "$build"
