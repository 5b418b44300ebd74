#!/usr/bin/env bash
# Browser check of the demo: starts balance-host on a copy of demo/ and runs demo_check.js.
#   tests/browser/run.sh [BUILD_DIR]   (needs chromium and `npm install` in tests/browser)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-build}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
work=$(mktemp -d)
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cp -r "$root/demo" "$work/site"
rm -rf "$work/site/data"
port=$((20000 + RANDOM % 20000))
"$build/host/balance-host" serve --root "$work/site" --data "$work/data" --port "$port" \
  --access-log "$work/access.log" 2>"$work/host.log" &
pid=$!
for _ in $(seq 50); do
  curl -sf -o /dev/null "http://127.0.0.1:$port/include/style.css" && break
  sleep 0.1
done
node "$here/demo_check.js" "http://127.0.0.1:$port"
