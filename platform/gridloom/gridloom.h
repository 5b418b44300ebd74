/*
 * gridloom.h - the raster host interface, shared by the host library, its programs and the
 * balance plug-in.
 *
 * It declares three things:
 *   - the records the host hands to a plug-in (layer descriptor, band selection, dataset header,
 *     region entry, statistics record); plug-ins only read them;
 *   - the host library functions a plug-in may call (memory, file specifications, headers);
 *   - the five entry points a balance plug-in exports, and pointer types for resolving them.
 *
 * Layout: on 32-bit x86 every field sits at the byte offset that existing hosts and plug-ins
 * exchange; the reserved members exist only to keep those offsets, and the checks at the end of
 * this file stop a build whose layout drifts. Other targets keep the same fields in the same order
 * with natural alignment, so host and plug-in agree as long as both are built from this header.
 *
 * Entry points use the C calling convention (the caller removes the arguments). On 32-bit x86 the
 * prototypes below put the arguments the plug-in reads at these offsets of the argument list:
 *   balance_init: bytes 24, 28, 32 - enabled flag, layer descriptor, slot for the state pointer
 *                 (bytes 0-23, six 32-bit words, are not read; hosts pass 0);
 *   balance:      bytes 0, 8, 16 - value, position along the second axis, position along the
 *                 first axis (doubles); bytes 24-31 not read; bytes 32-35 the state pointer.
 */
#ifndef GRIDLOOM_GRIDLOOM_H
#define GRIDLOOM_GRIDLOOM_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define GLM_EXPORT __attribute__((visibility("default")))

/* Status codes of the host library functions; 0 is success. */
#define GLM_OK 0
#define GLM_ERROR_ARGUMENT 1 /* null or empty name, unsupported flags */
#define GLM_ERROR_READ 2     /* the file could not be read */
#define GLM_ERROR_FORMAT 3   /* the file is not a well-formed dataset header */

/* Header kind of a gridded dataset, the only kind the balance plug-in works with. */
#define GLM_HEADER_KIND_GRID 2
/* Region entry kind that carries statistics. */
#define GLM_REGION_KIND_STATISTICS 1

/* Per-band statistics of one region; each array holds one double per band, or is null. */
typedef struct GlmStatistics {
  unsigned char reserved0[28];
  double* lower;
  double* upper;
  double* centre;
} GlmStatistics;

/* One entry of a dataset header's region list. */
typedef struct GlmRegionEntry {
  struct GlmRegionEntry* next; /* null at the end of the list */
  int32_t kind;
  char* name;
  unsigned char reserved0[12];
  GlmStatistics* statistics; /* null when the region has none */
} GlmRegionEntry;

typedef struct GlmDatasetHeader {
  unsigned char reserved0[96];
  int32_t kind;
  unsigned char reserved1[76];
  int32_t extentFirst;  /* rows */
  int32_t extentSecond; /* columns */
  unsigned char reserved2[40];
  int32_t bandCount;
  unsigned char reserved3[4];
  GlmRegionEntry* firstRegion; /* null when there is none */
  unsigned char reserved4[416];
  int32_t reverseBands; /* non-zero when bands are numbered in reverse order */
} GlmDatasetHeader;

typedef struct GlmBandSelection {
  int32_t reserved0;
  const char* text; /* 1-based band number as decimal text, or null */
} GlmBandSelection;

/* What the host knows about the layer being processed. */
typedef struct GlmLayerDescriptor {
  unsigned char reserved0[24];
  const char* fileName;
  unsigned char reserved1[52];
  const GlmBandSelection* bandSelection;
  unsigned char reserved2[180];
  GlmDatasetHeader* header; /* preloaded by the host and still the host's, or null */
} GlmLayerDescriptor;

/* ---- Host library ---- */

/* Returns a usable block of at least size bytes; prints a message and aborts when memory runs
   out, so it never returns null. */
GLM_EXPORT void* malloc_or_die(size_t size);

/* Releases a block from malloc_or_die; null is ignored. */
GLM_EXPORT void safe_free(void* block);

/* Makes the absolute file specification of name, taken relative to the working directory.
   flags must be 0. On GLM_OK *out receives a block the caller releases with safe_free; on
   failure nothing is stored. */
GLM_EXPORT int GLM_build_abs_fspec(char** out, int flags, const char* name);

/* Loads the dataset header file fspec (JSON). On GLM_OK *out receives a header the caller
   releases with ef_dshdr; on failure nothing is stored. */
GLM_EXPORT int eg_dshdr_alg_or_glh(GlmDatasetHeader** out, const char* fspec);

/* Releases a header from eg_dshdr_alg_or_glh with everything it owns; null is ignored. */
GLM_EXPORT void ef_dshdr(GlmDatasetHeader* header);

/* Number of headers loaded by eg_dshdr_alg_or_glh and not yet released (leak checks). */
GLM_EXPORT long glm_live_header_count(void);

/* ---- Balance plug-in entry points ---- */

/* The plug-in's per-layer state; opaque to hosts. */
typedef struct balance_state balance_state;

/* 1: balance may run on several threads at once with the same state. */
GLM_EXPORT unsigned char balance_mtsafe(void);

/* Prepares a layer; stores a state in *slot unless enabled is 0 or layer is null. */
GLM_EXPORT void balance_init(int32_t unused0, int32_t unused1, int32_t unused2, int32_t unused3,
                             int32_t unused4, int32_t unused5, int32_t enabled,
                             const GlmLayerDescriptor* layer, balance_state** slot);

/* Stretches one value at (first, second); positions are in cells from 0 at the first cell.
   A null state returns the value unchanged. */
GLM_EXPORT double balance(double value, double second, double first, double unused,
                          const balance_state* state);

/* Release a state from balance_init; a state goes to exactly one of them, once. */
GLM_EXPORT void balance_finish(balance_state* state);
GLM_EXPORT void balance_final(balance_state* state);

typedef unsigned char (*BalanceMtsafeFunction)(void);
typedef void (*BalanceInitFunction)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                    const GlmLayerDescriptor*, balance_state**);
typedef double (*BalanceFunction)(double, double, double, double, const balance_state*);
typedef void (*BalanceReleaseFunction)(balance_state*);

/* ---- Layout checks for 32-bit x86 ---- */
#if defined(__i386__)
#ifdef __cplusplus
#define GLM_CHECK_OFFSET(type, field, offset) \
  static_assert(offsetof(type, field) == (offset), #type "." #field " must sit at " #offset)
#else
#define GLM_CHECK_OFFSET(type, field, offset) \
  _Static_assert(offsetof(type, field) == (offset), #type "." #field " must sit at " #offset)
#endif
GLM_CHECK_OFFSET(GlmLayerDescriptor, fileName, 24);
GLM_CHECK_OFFSET(GlmLayerDescriptor, bandSelection, 80);
GLM_CHECK_OFFSET(GlmLayerDescriptor, header, 264);
GLM_CHECK_OFFSET(GlmBandSelection, text, 4);
GLM_CHECK_OFFSET(GlmDatasetHeader, kind, 96);
GLM_CHECK_OFFSET(GlmDatasetHeader, extentFirst, 176);
GLM_CHECK_OFFSET(GlmDatasetHeader, extentSecond, 180);
GLM_CHECK_OFFSET(GlmDatasetHeader, bandCount, 224);
GLM_CHECK_OFFSET(GlmDatasetHeader, firstRegion, 232);
GLM_CHECK_OFFSET(GlmDatasetHeader, reverseBands, 652);
GLM_CHECK_OFFSET(GlmRegionEntry, next, 0);
GLM_CHECK_OFFSET(GlmRegionEntry, kind, 4);
GLM_CHECK_OFFSET(GlmRegionEntry, name, 8);
GLM_CHECK_OFFSET(GlmRegionEntry, statistics, 24);
GLM_CHECK_OFFSET(GlmStatistics, lower, 28);
GLM_CHECK_OFFSET(GlmStatistics, upper, 32);
GLM_CHECK_OFFSET(GlmStatistics, centre, 36);
#undef GLM_CHECK_OFFSET
#endif

#ifdef __cplusplus
}
#endif

#endif /* GRIDLOOM_GRIDLOOM_H */
