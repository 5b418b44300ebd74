# Shared by the host benchmarks (sourced; they set `here` and `work`): the demo served by
# balance-host, signing in to it and one wrk run.

# demo_host BUILD_DIR PORT: serves a copy of the demo ($work/site, its data in $work/data) with
# balance-host on PORT in the background, its pid in host_pid, and waits until it answers.
demo_host() {
  local host="$1/host/balance-host"
  [ -x "$host" ] || { echo "no $host; build the balance-host target first" >&2; exit 1; }
  command -v wrk >/dev/null || { echo "wrk is not installed (scripts/install-deps.sh test)" >&2; exit 1; }
  cp -r "$here/demo" "$work/site"
  "$host" serve --root "$work/site" --data "$work/data" --port "$2" --access-log off \
    2>"$work/host.log" &
  host_pid=$!
  for _ in $(seq 50); do
    curl -sf -o /dev/null "http://127.0.0.1:$2/include/style.css" && break
    sleep 0.1
  done
}

# sign_in PORT COUNT: COUNT session cookies of the demo's administrator, one a line.
sign_in() {
  for _ in $(seq "$2"); do
    curl -s -o /dev/null -D - --data-urlencode username=admin --data-urlencode password=balance \
      "http://127.0.0.1:$1/login.asp" | sed -n 's/^set-cookie: \([^;]*\).*/\1/Ip'
  done
}

# measure URL CONNECTIONS [COOKIE_FILE]: prints "requests/s p99 errors" of one wrk run (-t1), or
# with a cookie file of one session per connection, of eight threads sharing them out.
measure() {
  local out how=(-t1)
  [ -n "${3:-}" ] && how=(-t8 -s "$(dirname "${BASH_SOURCE[0]}")/wrk_sessions.lua")
  out=$(BENCH_COOKIES="${3:-}" BENCH_SHARE=$(($2 / 8)) wrk "${how[@]}" -c"$2" \
        -d"${seconds}s" --latency "$1")
  local rps p99 errors
  rps=$(awk '/^Requests\/sec:/ {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  errors=$(awk '/Socket errors:/ {gsub(",", ""); e += $4 + $6 + $8 + $10} /Non-2xx/ {e += $NF} END {print e + 0}' <<<"$out")
  echo "$rps $p99 $errors"
}
