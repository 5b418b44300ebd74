#!/usr/bin/env bash
# Browser journeys through the demo: starts balance-host on a copy of demo/ with a fresh
# database and upload drive, and runs journeys.js against it.
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
mkdir -p "$work/data/drives/d/upload"
port=$((20000 + RANDOM % 20000))
BALANCE_DRIVES="$work/data/drives" "$build/host/balance-host" serve --root "$work/site" \
  --data "$work/data" --port "$port" --access-log "$work/access.log" 2>"$work/host.log" &
pid=$!
for _ in $(seq 50); do
  curl -sf -o /dev/null "http://127.0.0.1:$port/include/style.css" && break
  sleep 0.1
done
if ! node "$here/journeys.js" "http://127.0.0.1:$port" "$work/data/drives/d"; then
  echo "--- host log" >&2
  tail -n 40 "$work/host.log" >&2
  exit 1
fi
