#!/usr/bin/env bash
# Throughput of balance-host on loopback, measured side by side in one run with wrk:
# a static file (the baseline), a page that writes "hello", and the demo person list page
# (20 rows through DNA, signed in). Prints requests/s, p99 latency and errors of each, and the two
# page rates as a share of the static rate (targets: hello >= 30 %, list >= 15 %, no errors).
#   bench/host.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
here=$(cd "$(dirname "$0")/.." && pwd)
host="$build/host/balance-host"
[ -x "$host" ] || { echo "no $host; build the balance-host target first" >&2; exit 1; }
command -v wrk >/dev/null || { echo "wrk is not installed (scripts/install-deps.sh test)" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp -r "$here/demo" "$work/site"
rm -rf "$work/site/data"
printf '<%%@ Language="JScript" CodePage=65001 %%>\n<%% Response.Write("hello"); %%>' >"$work/site/hello.asp"

port=$((20000 + RANDOM % 20000))
"$host" serve --root "$work/site" --data "$work/data" --port "$port" --access-log off \
  2>"$work/host.log" &
pid=$!
for _ in $(seq 50); do
  curl -sf -o /dev/null "http://127.0.0.1:$port/include/style.css" && break
  sleep 0.1
done
# The demo's pages need a signed-in session, and one session's requests run one after another:
# the pages are measured as eight signed-in users (administrators, who open every page), each
# of wrk's eight connections with a session of its own.
for _ in $(seq 8); do
  curl -s -o /dev/null -D - --data-urlencode username=admin --data-urlencode password=balance \
    "http://127.0.0.1:$port/login.asp" | sed -n 's/^set-cookie: \([^;]*\).*/\1/Ip'
done >"$work/cookies"
cat >"$work/sessions.lua" <<'LUA'
local cookies, threads = {}, 0
function setup(thread)
  if #cookies == 0 then
    for line in io.lines(os.getenv("BENCH_COOKIES")) do cookies[#cookies + 1] = line end
  end
  threads = threads + 1
  thread:set("cookie", cookies[(threads - 1) % #cookies + 1])
end
function init(args)
  wrk.headers["Cookie"] = cookie
end
LUA
cookie=$(head -n 1 "$work/cookies")
rows=$(curl -s -H "Cookie: $cookie" "http://127.0.0.1:$port/person/index.asp" | grep -c "条记录" || true)
[ "$rows" = 20 ] || { echo "the list page shows $rows rows, not 20" >&2; cat "$work/host.log" >&2; exit 1; }

# One wrk run: prints "requests/s p99 errors"; "signed-in" after the path gives each
# connection (a thread of its own) one of the sessions.
measure() {
  local out how=(-t1)
  [ "${2:-}" = signed-in ] && how=(-t8 -s "$work/sessions.lua")
  out=$(BENCH_COOKIES="$work/cookies" wrk "${how[@]}" -c8 -d"${seconds}s" --latency \
        "http://127.0.0.1:$port$1")
  local rps p99 errors
  rps=$(awk '/^Requests\/sec:/ {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  errors=$(awk '/Socket errors:/ {gsub(",", ""); e += $4 + $6 + $8 + $10} /Non-2xx/ {e += $NF} END {print e + 0}' <<<"$out")
  echo "$rps $p99 $errors"
}

read -r static_rps static_p99 static_err < <(measure /include/style.css)
read -r hello_rps hello_p99 hello_err < <(measure /hello.asp)
read -r list_rps list_p99 list_err < <(measure /person/index.asp signed-in)

printf '%-28s %12s %10s %8s\n' "target" "requests/s" "p99" "errors"
printf '%-28s %12s %10s %8s\n' "static /include/style.css" "$static_rps" "$static_p99" "$static_err"
printf '%-28s %12s %10s %8s\n' "page /hello.asp" "$hello_rps" "$hello_p99" "$hello_err"
printf '%-28s %12s %10s %8s\n' "page /person/index.asp" "$list_rps" "$list_p99" "$list_err"
awk -v s="$static_rps" -v h="$hello_rps" -v l="$list_rps" 'BEGIN {
  printf "hello/static %.1f %% (target >= 30 %%), list/static %.1f %% (target >= 15 %%)\n", 100 * h / s, 100 * l / s
}'
