#!/usr/bin/env bash
# Soak test of balance-host on the demo: SECONDS (600) of mixed load from wrk (static file,
# signed-in list page, form posts, new sessions), resident memory sampled every 10 s, and two
# poisoned sessions running beside it (posting form bodies at the form limit into the session
# and keeping values near the session limit). Checks: no errors in the mixed load, resident
# memory flat after warm-up (the first fifth): the lowest sample of the last fifth less than
# 10 % above the lowest of the fifth after warm-up (the lowest, since the poisoned posts' bodies
# come and go between samples, while what the host keeps shows in every one), and a static
# file's p99 latency, measured while the poisoned sessions run, stays under 50 ms.
#   bench/soak.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-600}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/bench/host_measure.sh"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -n "${host_pid:-}" ] && kill "$host_pid" 2>/dev/null && wait "$host_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
port=$((20000 + RANDOM % 20000))
base="http://127.0.0.1:$port"
demo_host "$build" "$port"
mkdir -p "$work/site/soak"
# A post whose values are read and written back; a page that starts a session of its own; a
# page that keeps whatever it is posted in the session (the poisoned sessions' target).
printf '<%%@ Language="JScript" %%><%%= Request.Form("name").Count %%>|<%%= String(Request.Form("name")).length %%>' \
  >"$work/site/soak/post.asp"
printf '<%%@ Language="JScript" %%><%% Session("n") = new Date().getTime(); %%>new' \
  >"$work/site/soak/new.asp"
printf '<%%@ Language="JScript" %%><%% Session("k" + Request.QueryString("k")) = String(Request.Form("v")); %%>kept' \
  >"$work/site/soak/keep.asp"

sign_in "$port" 8 >"$work/cookies"

# Two poisoned sessions: each first keeps values near the session limit, then posts bodies at
# the form limit into its session for as long as the soak runs (refused: an error to the page).
poison() {
  local jar="$work/jar$1" small big
  small=$(head -c 30000 /dev/zero | tr '\0' a)
  head -c $((2 * 1024 * 1024 - 2)) /dev/zero | tr '\0' b | sed 's/^/v=/' >"$work/big$1"
  for k in 1 2 3; do
    curl -s -o /dev/null -c "$jar" -b "$jar" --data "v=$small" "$base/soak/keep.asp?k=$k"
  done
  while :; do
    curl -s -o /dev/null -c "$jar" -b "$jar" --data-binary "@$work/big$1" \
      -H "Content-Type: application/x-www-form-urlencoded" "$base/soak/keep.asp?k=big" || true
  done
}
poison 1 &
pids+=($!)
poison 2 &
pids+=($!)

rss() { awk '/^VmRSS:/ {print $2}' "/proc/$host_pid/status"; }
SOAK_COOKIES="$work/cookies" wrk -t8 -c8 -d"${seconds}s" --latency -s "$here/bench/soak_mix.lua" "$base" \
  >"$work/mixed.txt" &
wrk_pid=$!
pids+=($wrk_pid)
samples=()
elapsed=0
while kill -0 "$wrk_pid" 2>/dev/null; do
  sleep 10
  elapsed=$((elapsed + 10))
  samples+=("$(rss)")
  echo "t=${elapsed}s rss=${samples[-1]} kB"
done
wait "$wrk_pid" || true
# The static file while the poisoned sessions still run.
seconds=20
read -r static_rps static_p99 static_errors < <(measure "$base/include/style.css" 4)

requests=$(awk '/requests in/ {print $1}' "$work/mixed.txt")
errors=$(awk '/Socket errors:/ {gsub(",", ""); e += $4 + $6 + $8 + $10} /Non-2xx/ {e += $NF} END {print e + 0}' "$work/mixed.txt")
fifth=$(( ${#samples[@]} / 5 ))
[ "$fifth" -ge 1 ] || fifth=1
median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
lowest() { sort -n | head -1; }
after=$(printf '%s\n' "${samples[@]:$fifth:$fifth}" | lowest)
last=$(printf '%s\n' "${samples[@]: -$fifth}" | lowest)
after_median=$(printf '%s\n' "${samples[@]:$fifth:$fifth}" | median)
last_median=$(printf '%s\n' "${samples[@]: -$fifth}" | median)
peak=$(printf '%s\n' "${samples[@]:$fifth}" | sort -n | tail -1)
growth=$(awk -v a="$after" -v l="$last" 'BEGIN {printf "%.1f", 100 * (l - a) / a}')
p99ms=$(awk -v v="$static_p99" 'BEGIN {
  n = v + 0; if (v ~ /us$/) n /= 1000; else if (v ~ /ms$/) n += 0; else if (v ~ /s$/) n *= 1000; printf "%.2f", n }')
echo "mixed load: $requests requests, $errors errors"
echo "resident memory (lowest): ${after} kB after warm-up, ${last} kB at the end: growth ${growth} % (target < 10 %); medians ${after_median} and ${last_median} kB, peak ${peak} kB"
echo "static file beside two poisoned sessions: p99 ${p99ms} ms (target < 50 ms), $static_rps requests/s, $static_errors errors"
grep "sessions are kept" "$work/host.log" | tail -1 || true
ok=1
[ "$errors" = 0 ] || ok=0
[ "$static_errors" = 0 ] || ok=0
awk -v g="$growth" 'BEGIN {exit !(g < 10)}' || ok=0
awk -v p="$p99ms" 'BEGIN {exit !(p < 50)}' || ok=0
[ "$ok" = 1 ] && echo "soak: passed" || { echo "soak: FAILED"; exit 1; }
