#!/usr/bin/env bash
# Installs the Debian packages a job needs, only those that are missing.
#   scripts/install-deps.sh run    what building and serving needs
#   scripts/install-deps.sh test   that, plus test, sanitizer, 32-bit, fuzzing and benchmark tools
set -euo pipefail

run_pkgs=(cmake ninja-build g++ pkg-config libsqlite3-dev unixodbc-dev libboost-dev duktape-dev
          libfmt-dev nlohmann-json3-dev libgdal-dev libsodium-dev libpcre2-dev)
test_pkgs=(libgtest-dev libgmock-dev libbenchmark-dev sqlite3 unixodbc odbcinst libsqliteodbc
           gcc-multilib g++-multilib qemu-user clang-14 libfuzzer-14-dev libclang-rt-14-dev
           gdal-bin wrk python3-numpy libcpp-httplib-dev curl chromium fonts-wqy-microhei)

want=("${run_pkgs[@]}")
if [ "${1:-run}" = test ]; then
  want+=("${test_pkgs[@]}")
  # The browser check runs on Node.js; a machine that has it from elsewhere keeps its own.
  command -v npm >/dev/null || want+=(nodejs npm)
fi

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
