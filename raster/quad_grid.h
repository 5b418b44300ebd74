// Builds the low and high value of every grid cell from a dataset header's quad entries.
#ifndef RASTER_QUAD_GRID_H
#define RASTER_QUAD_GRID_H

#include "balance_state.h"

// Fills the inner cells from the header's quad entries for state.band and raises max_range.
// Later entries for the same quad overwrite earlier ones; unusable entries are skipped.
void readQuadEntries(balance_state& state, const GlmDatasetHeader& header);

// Fills rows and columns 0 and 6 by linear extrapolation from the two nearest inner cells.
void extrapolateBorders(balance_state& state);

#endif
