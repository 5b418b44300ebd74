#!/usr/bin/env bash
# Times balance-raster apply on a SIZE x SIZE Float32 mosaic (default 8192) beside the same
# stretch written with numpy (its fastest, separable form, and the direct per-pixel port) and
# beside apply with the plug-in passing values through (the cost of the I/O alone), in
# interleaved rounds; prints medians and ratios.
#   bench/raster_apply.sh [BUILD_DIR] [SIZE] [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
size=${2:-8192}
rounds=${3:-3}
tool=$build/tools/balance-raster
plugin=$build/raster/libbalance.so
maker=$build/bench/raster_make_mosaic
python=/usr/bin/python3  # Debian's interpreter, where python3-numpy is installed
for file in "$tool" "$plugin" "$maker"; do
  [ -e "$file" ] || { echo "missing $file: build balance-raster and raster_make_mosaic" >&2; exit 1; }
done

# In memory when possible: the figures are about the programs, not about disk write-back.
scratch=${TMPDIR:-/tmp}
if [ -d /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt $((size * size * 4 * 7 / 1024)) ]; then
  scratch=/dev/shm
fi
work=$(mktemp -d "$scratch/raster_apply.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$maker" "$size" "$work/mosaic.tif" "$work/mosaic.f32"
"$tool" quads "$work/mosaic.tif" >"$work/header.json"
sync
echo "{\"kind\": 2, \"extent\": [$size, $size], \"bands\": 1, \"regions\": []}" >"$work/empty.json"

seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

apply=() passing=() numpy=() gather=()
for _ in $(seq "$rounds"); do
  apply+=("$(seconds "$tool" apply --plugin "$plugin" --header "$work/header.json" \
    "$work/mosaic.tif" "$work/apply.tif")")
  passing+=("$(seconds "$tool" apply --plugin "$plugin" --header "$work/empty.json" \
    "$work/mosaic.tif" "$work/passing.tif")")
  numpy+=("$(seconds "$python" "$root/bench/raster_numpy_balance.py" "$work/header.json" \
    "$work/mosaic.f32" "$work/numpy.f32" "$size" "$size")")
  gather+=("$(seconds "$python" "$root/bench/raster_numpy_balance.py" "$work/header.json" \
    "$work/mosaic.f32" "$work/gather.f32" "$size" "$size" gather)")
done
apply_ms=$(printf '%s\n' "${apply[@]}" | median)
passing_ms=$(printf '%s\n' "${passing[@]}" | median)
numpy_ms=$(printf '%s\n' "${numpy[@]}" | median)
gather_ms=$(printf '%s\n' "${gather[@]}" | median)

# The two implementations must agree before their times mean anything.
if command -v gdal_translate >/dev/null; then
  gdal_translate -q -of ENVI "$work/apply.tif" "$work/apply.f32"
  "$python" - "$work/apply.f32" "$work/numpy.f32" "$work/gather.f32" <<'PY'
import sys, numpy as np
apply, *others = (np.fromfile(p, dtype=np.float32).astype(np.float64) for p in sys.argv[1:])
worst = max(np.max(np.abs(apply - o) / np.maximum(1.0, np.abs(o))) for o in others)
print(f"apply and both numpy outputs agree to a relative {worst:.1e}")
sys.exit(0 if worst < 1e-5 else 1)
PY
fi

pixels=$((size * size))
echo "raster ${size} x ${size} Float32 in $scratch, median of ${rounds} rounds on $(nproc) cores"
echo "  apply (balance plug-in)       ${apply_ms} ms  $((pixels / 1000 / (apply_ms > 0 ? apply_ms : 1))) M values/s"
echo "  apply (passing through, I/O)  ${passing_ms} ms"
echo "  numpy, separable               ${numpy_ms} ms"
echo "  numpy, per-pixel gather       ${gather_ms} ms"
awk -v a="$apply_ms" -v p="$passing_ms" -v n="$numpy_ms" -v g="$gather_ms" 'BEGIN {
  printf "  numpy separable / apply = %.2f, numpy gather / apply = %.2f (target >= 3)\n", n / a, g / a
  printf "  stretch cost beyond I/O: %d ms\n", a - p
}'
