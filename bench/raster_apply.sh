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

# "wall_ms cpu_ms" of one run; CPU time (user + system) is the steadier figure on a shared host.
measure() {
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$work/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A runs
names=(apply passing numpy gather)
for _ in $(seq "$rounds"); do
  runs[apply]+="$(measure "$tool" apply --plugin "$plugin" --header "$work/header.json" \
    "$work/mosaic.tif" "$work/apply.tif")"$'\n'
  runs[passing]+="$(measure "$tool" apply --plugin "$plugin" --header "$work/empty.json" \
    "$work/mosaic.tif" "$work/passing.tif")"$'\n'
  runs[numpy]+="$(measure "$python" "$root/bench/raster_numpy_balance.py" "$work/header.json" \
    "$work/mosaic.f32" "$work/numpy.f32" "$size" "$size")"$'\n'
  runs[gather]+="$(measure "$python" "$root/bench/raster_numpy_balance.py" "$work/header.json" \
    "$work/mosaic.f32" "$work/gather.f32" "$size" "$size" gather)"$'\n'
done
declare -A wall cpu
for name in "${names[@]}"; do
  wall[$name]=$(printf '%s' "${runs[$name]}" | awk 'NF { print $1 }' | median)
  cpu[$name]=$(printf '%s' "${runs[$name]}" | awk 'NF { print $2 }' | median)
done

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

echo "raster ${size} x ${size} Float32 in $scratch, medians of ${rounds} rounds on $(nproc) cores," \
  "load $(cut -d' ' -f1 /proc/loadavg)"
printf '  %-34s %8s %8s\n' "" "wall ms" "CPU ms"
printf '  %-34s %8d %8d\n' "apply (balance plug-in)" "${wall[apply]}" "${cpu[apply]}" \
  "apply (passing through: I/O alone)" "${wall[passing]}" "${cpu[passing]}" \
  "numpy, separable" "${wall[numpy]}" "${cpu[numpy]}" \
  "numpy, per-pixel gather" "${wall[gather]}" "${cpu[gather]}"
ratio() { awk -v n="$1" -v d="$2" 'BEGIN { printf "%.2f", n / (d > 0 ? d : 1) }'; }
echo "  numpy separable / apply: wall $(ratio "${wall[numpy]}" "${wall[apply]}")," \
  "CPU $(ratio "${cpu[numpy]}" "${cpu[apply]}")   (target >= 3)"
echo "  numpy gather / apply:    wall $(ratio "${wall[gather]}" "${wall[apply]}")," \
  "CPU $(ratio "${cpu[gather]}" "${cpu[apply]}")"
echo "  stretch beyond I/O: wall $((wall[apply] - wall[passing])) ms," \
  "CPU $((cpu[apply] - cpu[passing])) ms"
