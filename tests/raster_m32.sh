#!/usr/bin/env bash
# Builds the raster plug-in, the gridloom host library stand-in and their tests for 32-bit x86
# and runs them: there every record field and argument slot must sit at its fixed byte offset.
#   tests/raster_m32.sh            (build tree: build-m32 beside this script's repository)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_M32:-$root/build-m32}
jobs=${JOBS:-2}
m32=(-DCMAKE_C_FLAGS=-m32 -DCMAKE_CXX_FLAGS=-m32 -DCMAKE_EXE_LINKER_FLAGS=-m32
     -DCMAKE_SHARED_LINKER_FLAGS=-m32 -DCMAKE_MODULE_LINKER_FLAGS=-m32)

# Debian ships GoogleTest as 64-bit libraries only: build a 32-bit copy from its sources once.
gtest=$build/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$build/googletest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest" -DCMAKE_INSTALL_LIBDIR=lib "${m32[@]}" >/dev/null
  cmake --build "$build/googletest-build" -j "$jobs" >/dev/null
  cmake --install "$build/googletest-build" >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${m32[@]}" \
  -DGTest_DIR="$gtest/lib/cmake/GTest" -DCMAKE_PREFIX_PATH="$gtest" \
  -DBALANCE_WEB=OFF -DBALANCE_GDAL=OFF -DBALANCE_BENCH=OFF >/dev/null
tests=(platform/gridloom/gridloom_test raster/balance_raster_test raster/balance_raster_layout_test)
cmake --build "$build" -j "$jobs" --target "${tests[@]##*/}"

status=0
for test in "${tests[@]}"; do
  binary=$build/$test
  # ELF class byte: 1 is 32-bit. A 64-bit binary here would skip the offset checks unnoticed.
  if [ "$(od -An -tu1 -j4 -N1 "$binary" | tr -d ' ')" != 1 ]; then
    echo "$binary is not a 32-bit executable" >&2
    exit 1
  fi
  "$binary" --gtest_brief=1 || status=1
done
exit $status
