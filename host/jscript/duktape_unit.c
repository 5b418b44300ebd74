/* The engine as one translation unit, with the one thing the host needs from its inside that the
 * public API lacks: a fresh closure of an already loaded program. A page's bytecode is then loaded
 * once per heap, and each run only makes a closure over its own global environment, which is
 * what the engine itself does for every function expression and eval. */
#include "duktape.c"

#include "duktape_closure.h"

void host_push_global_closure(duk_context *ctx, duk_idx_t program) {
	duk_hthread *thr = (duk_hthread *) ctx;
	duk_hcompfunc *loaded = duk_require_hcompfunc(thr, program);
	duk_hobject *global_env = thr->builtins[DUK_BIDX_GLOBAL_ENV];
	duk_js_push_closure(thr, loaded, global_env, global_env, 0 /*add_auto_proto*/);
}
