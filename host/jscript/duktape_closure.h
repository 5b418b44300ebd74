/* A closure of a loaded program (the function duk_load_function gave) over the global
 * environment of thread `ctx`, pushed onto `ctx`. The program and the thread share a heap. */
#pragma once

#include "duktape.h"

#if defined(__cplusplus)
extern "C" {
#endif

void host_push_global_closure(duk_context *ctx, duk_idx_t program);

#if defined(__cplusplus)
}
#endif
