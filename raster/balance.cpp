// balance: the per-value stretch. It only reads the state, so any number of threads may call it
// at once; it allocates nothing and divides once per value.
#include <algorithm>

#include "balance_state.h"

namespace {

constexpr double kStretchedRange = 192.0;

struct AxisCell {
  int index;        // grid row or column of the lower interpolation cell
  double fraction;  // weight of the next cell
};

// Finds the cell by repeated subtraction, at most five steps: cells 5 and 6 are the last pair.
// Grid coordinates beyond cell 6 or before cell 0 (positions from 1.1 x the extent on, or below
// -0.1 x the extent) are held at the border cells, so no read leaves the grid.
AxisCell locate(double u) {
  int index = 0;
  while (u >= 1.0 && index < kGridSize - 2) {
    u -= 1.0;
    ++index;
  }
  return {index, std::min(std::max(u, 0.0), 1.0)};
}

}  // namespace

extern "C" unsigned char balance_mtsafe(void) { return 1; }

extern "C" double balance(double value, double second, double first, double,
                          const balance_state* state) {
  if (state == nullptr || state->pass_through != 0) return value;
  const AxisCell row = locate(state->step_first * first + 0.5);
  const AxisCell column = locate(state->step_second * second + 0.5);
  const int cell = gridCell(row.index, column.index);
  const int below = cell + kGridSize;
  const double w00 = (1 - row.fraction) * (1 - column.fraction);
  const double w10 = row.fraction * (1 - column.fraction);
  const double w01 = (1 - row.fraction) * column.fraction;
  const double w11 = row.fraction * column.fraction;
  const double* low = state->low;
  const double* high = state->high;
  const double localLow =
      w00 * low[cell] + w10 * low[below] + w01 * low[cell + 1] + w11 * low[below + 1];
  const double localHigh =
      w00 * high[cell] + w10 * high[below] + w01 * high[cell + 1] + w11 * high[below + 1];
  const double range = localHigh - localLow;
  if (!(range > 0)) return value;
  const double scale = kStretchedRange / range;
  return (value - localLow) * scale;
}

extern "C" void balance_finish(balance_state* state) { safe_free(state); }

extern "C" void balance_final(balance_state* state) { balance_finish(state); }
