// What every JScript page finds beside the engine's built-ins, as classic pages expect them:
// `Enumerator` over any automation collection, `VBArray` over variant arrays (rs.GetRows()),
// `Date.prototype.getVarDate`, and an `Error` that takes JScript's (number, description)
// arguments; errors the engine makes carry `number` and `description` too. Also the host's own
// natives ($$text, $$write) and the snapshot that copies script objects into the host.
#pragma once

struct duk_hthread;
typedef struct duk_hthread duk_context;

namespace host::jscript {

// Installs the library into a new heap (its global object and stash).
void installPageLibrary(duk_context* ctx);

}  // namespace host::jscript
