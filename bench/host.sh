#!/usr/bin/env bash
# Throughput of balance-host on loopback, measured side by side in one run with wrk (at 8 and at
# 64 connections): a static file (the baseline), a page that writes "hello" in JScript and the
# same in VBScript, the demo person list page (20 rows through DNA), the signed-in person's month
# view and the month overview of every person (49: the seeded staff but the administrator's
# account), all signed in. Prints requests/s, p99 latency and errors of each, and the page rates
# as a share of the static rate (targets: hello >= 90 %, list >= 25 %, no errors; the month
# pages: p99 < 100 ms at 8 connections), and the VBScript hello's rate as a share of the JScript
# one's (target >= 90 %). Also checks that HEAD gives the GET's Content-Length.
#   bench/host.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/bench/host_measure.sh"

work=$(mktemp -d)
cleanup() {
  [ -n "${host_pid:-}" ] && kill "$host_pid" 2>/dev/null && wait "$host_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
port=$((20000 + RANDOM % 20000))
demo_host "$build" "$port"
printf '<%%@ Language="JScript" CodePage=65001 %%>\n<%% Response.Write("hello"); %%>' >"$work/site/hello.asp"
printf '<%%@ Language="VBScript" CodePage=65001 %%>\n<%% Response.Write "hello" %%>' >"$work/site/hello_vb.asp"
# The demo's pages need a signed-in session, and one session's requests run one after another:
# the list is measured as signed-in users (administrators, who open every page), one session
# for each of wrk's connections.
sign_in "$port" 64 >"$work/cookies"
cookie=$(head -n 1 "$work/cookies")
rows=$(curl -s -H "Cookie: $cookie" "http://127.0.0.1:$port/person/index.asp" | grep -c "条记录" || true)
[ "$rows" = 20 ] || { echo "the list page shows $rows rows, not 20" >&2; cat "$work/host.log" >&2; exit 1; }
[ "$(curl -s "http://127.0.0.1:$port/hello_vb.asp")" = "$(curl -s "http://127.0.0.1:$port/hello.asp")" ] ||
  { echo "the VBScript hello page does not say what the JScript one says" >&2; exit 1; }
month=/scheduler/personMonth.asp
overview="/scheduler/leader2Month.asp?deptID=0"
days=$(curl -s -H "Cookie: $cookie" "http://127.0.0.1:$port$month" | grep -c "onclick=manage(" || true)
[ "$days" -ge 28 ] || { echo "the month view shows $days days" >&2; exit 1; }
persons=$(curl -s -H "Cookie: $cookie" "http://127.0.0.1:$port$overview" | grep -o "<td class=td[12] nowrap>" | wc -l)
[ "$persons" = 49 ] || { echo "the overview shows $persons persons, not 49" >&2; exit 1; }
for target in /include/style.css /hello.asp /hello_vb.asp; do
  get=$(curl -s -D - -o /dev/null "http://127.0.0.1:$port$target" | tr -d '\r' | awk -F': ' 'tolower($1) == "content-length" {print $2}')
  head=$(curl -s -I "http://127.0.0.1:$port$target" | tr -d '\r' | awk -F': ' 'tolower($1) == "content-length" {print $2}')
  [ -n "$get" ] && [ "$get" = "$head" ] || { echo "HEAD $target: Content-Length '$head', GET '$get'" >&2; exit 1; }
done

base="http://127.0.0.1:$port"
row() { printf '%-5s %-40s %12s %10s %8s\n' "$@"; }
# milliseconds P99: wrk's latency ("850.00us", "12.3ms", "1.2s") in milliseconds.
milliseconds() {
  awk -v t="$1" 'BEGIN { n = t + 0; if (t ~ /us$/) n /= 1000; else if (t ~ /[0-9]s$/) n *= 1000; print n }'
}
row "conns" "target" "requests/s" "p99" "errors"
for conns in 8 64; do
  read -r static_rps static_p99 static_err < <(measure "$base/include/style.css" "$conns")
  read -r hello_rps hello_p99 hello_err < <(measure "$base/hello.asp" "$conns")
  read -r vb_rps vb_p99 vb_err < <(measure "$base/hello_vb.asp" "$conns")
  read -r list_rps list_p99 list_err < <(measure "$base/person/index.asp" "$conns" "$work/cookies")
  read -r month_rps month_p99 month_err < <(measure "$base$month" "$conns" "$work/cookies")
  read -r over_rps over_p99 over_err < <(measure "$base$overview" "$conns" "$work/cookies")
  row "$conns" "static /include/style.css" "$static_rps" "$static_p99" "$static_err"
  row "$conns" "page /hello.asp" "$hello_rps" "$hello_p99" "$hello_err"
  row "$conns" "page /hello_vb.asp" "$vb_rps" "$vb_p99" "$vb_err"
  row "$conns" "page /person/index.asp" "$list_rps" "$list_p99" "$list_err"
  row "$conns" "page $month" "$month_rps" "$month_p99" "$month_err"
  row "$conns" "page $overview" "$over_rps" "$over_p99" "$over_err"
  awk -v c="$conns" -v s="$static_rps" -v h="$hello_rps" -v v="$vb_rps" -v l="$list_rps" 'BEGIN {
    printf "-c%s: hello/static %.1f %% (target >= 90 %%), list/static %.1f %% (target >= 25 %%)\n", c, 100 * h / s, 100 * l / s
    printf "-c%s: VBScript hello/JScript hello %.1f %% (target >= 90 %%)\n", c, 100 * v / h
  }'
  if [ "$conns" = 8 ]; then
    awk -v m="$(milliseconds "$month_p99")" -v o="$(milliseconds "$over_p99")" \
        -v e="$((month_err + over_err))" 'BEGIN {
      printf "-c8: month p99 %.1f ms, overview p99 %.1f ms (target < 100 ms), errors %d (target 0): %s\n",
             m, o, e, (m < 100 && o < 100 && e == 0) ? "met" : "MISSED"
    }'
  fi
done
