#!/usr/bin/env bash
# Serves the demo application from a finished build: scripts/serve-demo.sh BUILD_DIR PORT
# The demo's database is created in demo-data/, beside the site, on the first start (from
# demo/schema.sql and demo/seed.sql); uploaded files go to demo-data/drives/d/upload/<personID>/
# (the pages' d:\upload\). Delete demo-data/ to start again from the seed.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
port=${2:-8080}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
host="$build/host/balance-host"
if [ ! -x "$host" ]; then
  echo "The page host is not part of this build yet; the libraries are built in $build." >&2
  exit 1
fi
# Earlier versions kept the data inside the site, in demo/data/: it moves out, so that nothing
# uploaded there could ever be served or run.
if [ -d "$here/demo/data" ]; then
  if [ -e "$here/demo-data" ]; then
    echo "demo/data/ is left from an earlier version beside demo-data/: delete one of them" >&2
    exit 1
  fi
  mv "$here/demo/data" "$here/demo-data"
fi
export BALANCE_DRIVES=${BALANCE_DRIVES:-$here/demo-data/drives}
mkdir -p "${BALANCE_DRIVE_D:-$BALANCE_DRIVES/d}/upload"
cat >&2 <<TEXT
demo: http://127.0.0.1:$port/
sign in as admin (every page) or as 李明 (the schedule pages and uploads);
every seeded person's password is: balance
TEXT
exec "$host" serve --root "$here/demo" --port "$port" --bind 127.0.0.1
