#!/usr/bin/env bash
# Every ctest test of a build tree has a timeout, and a test that hangs is reported as one.
#   tests/test_timeouts.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?build directory}

ctest --test-dir "$build" --show-only=json-v1 | python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
missing = [t["name"] for t in tests
           if not any(p["name"] == "TIMEOUT" for p in t.get("properties", []))]
if missing:
    sys.exit("tests without a timeout: " + ", ".join(missing[:10]))
print(f"test_timeouts: all {len(tests)} tests have a timeout")'

scratch=$build/timeout-check
cmake -S "$root/tests/timeouts" -B "$scratch" -G Ninja >/dev/null
cmake --build "$scratch" >/dev/null
if out=$(ctest --test-dir "$scratch" 2>&1); then
  echo "test_timeouts: a hanging test passed" >&2
  exit 1
fi
grep -q 'HangingTest.NeverEnds .*\*\*\*Timeout' <<<"$out" || {
  echo "test_timeouts: a hanging test was not reported as a timeout:" >&2
  echo "$out" >&2
  exit 1
}
echo "test_timeouts: a hanging test is stopped and reported as a timeout"
