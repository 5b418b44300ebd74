// Hosts built elsewhere exchange records and argument lists by byte offset. On 32-bit x86 this
// test builds both from raw bytes at those offsets and drives the plug-in as such a host would,
// through dlopen and argument blocks passed by value (which cdecl lays out on the stack exactly
// like the argument list).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gridloom/gridloom.h"

namespace {

#if defined(__i386__)

struct InitArguments {
  int32_t unread[6];
  int32_t enabled;
  const void* layer;
  void** slot;
};
static_assert(offsetof(InitArguments, enabled) == 24 && offsetof(InitArguments, layer) == 28 &&
              offsetof(InitArguments, slot) == 32);

struct BalanceArguments {
  double value;
  double second;
  double first;
  double unread;
  const void* state;
};
static_assert(offsetof(BalanceArguments, second) == 8 && offsetof(BalanceArguments, first) == 16 &&
              offsetof(BalanceArguments, state) == 32);

using RawInit = void (*)(InitArguments);
using RawBalance = double (*)(BalanceArguments);

template <typename Value>
void put(unsigned char* record, size_t offset, Value value) {
  std::memcpy(record + offset, &value, sizeof value);
}

template <typename Function>
Function symbol(void* library, const char* name) {
  void* address = dlsym(library, name);
  EXPECT_NE(address, nullptr) << name;
  return reinterpret_cast<Function>(address);
}

TEST(RecordLayoutTest, ThePluginReadsRecordsAndArgumentsAtTheirByteOffsets) {
  void* library = dlopen(BALANCE_RASTER_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  const auto init = symbol<RawInit>(library, "balance_init");
  const auto stretch = symbol<RawBalance>(library, "balance");
  const auto finish = symbol<void (*)(void*)>(library, "balance_finish");

  // Band 2 of 3, reversed to index 0: quad (1, 3) spans [20, 60] in that band.
  alignas(8) double lower[3] = {20, -1, -1};
  alignas(8) double upper[3] = {60, -1, -1};
  alignas(8) double centre[3] = {40, -1, -1};
  alignas(8) unsigned char statistics[40] = {};
  put(statistics, 28, lower);
  put(statistics, 32, upper);
  put(statistics, 36, centre);
  char name[] = "Mosaic Leveler Quad [1,3]";
  alignas(8) unsigned char region[28] = {};
  put(region, 0, static_cast<void*>(nullptr));
  put(region, 4, int32_t{1});
  put(region, 8, name);
  put(region, 24, &statistics);
  alignas(8) unsigned char header[656] = {};
  put(header, 96, int32_t{2});
  put(header, 176, int32_t{80});
  put(header, 180, int32_t{160});
  put(header, 224, int32_t{3});
  put(header, 232, &region);
  put(header, 652, int32_t{1});
  const char bandText[] = "3";
  alignas(8) unsigned char selection[8] = {};
  put(selection, 4, bandText);
  alignas(8) unsigned char layer[268] = {};
  put(layer, 80, &selection);
  put(layer, 264, &header);

  void* state = nullptr;
  init({{-1, -1, -1, -1, -1, -1}, 1, layer, &state});
  ASSERT_NE(state, nullptr);
  // Centre of quad (1, 3): row 24 of 80, column 112 of 160.
  EXPECT_EQ(stretch({20, 112, 24, -1, state}), 0.0);
  EXPECT_EQ(stretch({60, 112, 24, -1, state}), 192.0);
  EXPECT_EQ(stretch({60, 112, 24, -1, nullptr}), 60.0);
  finish(state);
  dlclose(library);
}

#else

TEST(RecordLayoutTest, ThePluginReadsRecordsAndArgumentsAtTheirByteOffsets) {
  GTEST_SKIP() << "byte offsets are fixed on 32-bit x86 only (tests/raster_m32.sh)";
}

#endif

}  // namespace
