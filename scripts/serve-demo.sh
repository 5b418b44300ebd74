#!/usr/bin/env bash
# Serves the demo application from a finished build: scripts/serve-demo.sh BUILD_DIR PORT
set -euo pipefail
build=${1:-build}
port=${2:-8080}
host="$build/host/balance-host"
if [ ! -x "$host" ]; then
  echo "The page host is not part of this build yet; the libraries are built in $build." >&2
  exit 1
fi
exec "$host" serve --root demo --port "$port" --bind 127.0.0.1
