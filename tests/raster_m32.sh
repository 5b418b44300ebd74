#!/usr/bin/env bash
# Builds the raster plug-in, the gridloom host library stand-in and their tests for 32-bit x86
# and runs them: there every record field and argument slot must sit at its fixed byte offset.
# Where the kernel does not run i386 programs, they run under qemu-i386 (Debian qemu-user);
# a machine that can do neither fails here rather than skipping the check.
#   tests/raster_m32.sh            (build tree: build-m32 beside this script's repository)
#   BALANCE_M32_RUN=qemu tests/raster_m32.sh   the emulated way even where i386 runs natively
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_M32:-$root/build-m32}
jobs=${JOBS:-2}
toolchain=$root/cmake/i386-toolchain.cmake
mkdir -p "$build"

# How i386 programs run here: natively, or through the emulator.
probe=$build/i386-probe
printf 'int main(void) { return 0; }\n' | gcc -m32 -x c - -o "$probe"
if [ "${BALANCE_M32_RUN:-auto}" != qemu ] && "$probe" 2>/dev/null; then
  emulator=()
  echo "raster_m32: i386 programs run natively"
elif command -v qemu-i386 >/dev/null && qemu-i386 -L / "$probe"; then
  emulator=(-DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v qemu-i386);-L;/")
  echo "raster_m32: running i386 programs under qemu-i386 (the kernel does not run them natively or BALANCE_M32_RUN=qemu)"
else
  echo "raster_m32: cannot run i386 programs: the kernel refuses them and qemu-i386 is missing;" \
       "install it with: apt-get install qemu-user" >&2
  exit 1
fi

# Debian ships GoogleTest as 64-bit libraries only: build a 32-bit copy from its sources once.
gtest=$build/googletest
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$build/googletest-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$gtest" \
    -DCMAKE_INSTALL_LIBDIR=lib >/dev/null
  cmake --build "$build/googletest-build" -j "$jobs" >/dev/null
  cmake --install "$build/googletest-build" >/dev/null
fi

# The emulator is a cache entry: set or clear it on every run, as the machine decides.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -UCMAKE_CROSSCOMPILING_EMULATOR "${emulator[@]}" \
  -DGTest_DIR="$gtest/lib/cmake/GTest" -DCMAKE_PREFIX_PATH="$gtest" \
  -DBALANCE_WEB=OFF -DBALANCE_GDAL=OFF -DBALANCE_BENCH=OFF >/dev/null
tests=(platform/gridloom/gridloom_test raster/balance_raster_test raster/balance_raster_layout_test)
cmake --build "$build" -j "$jobs" --target "${tests[@]##*/}"

for test in "${tests[@]}"; do
  # ELF class byte: 1 is 32-bit. A 64-bit binary here would skip the offset checks unnoticed.
  if [ "$(od -An -tu1 -j4 -N1 "$build/$test" | tr -d ' ')" != 1 ]; then
    echo "$build/$test is not a 32-bit executable" >&2
    exit 1
  fi
done
ctest --test-dir "$build" --output-on-failure -j "$jobs"
