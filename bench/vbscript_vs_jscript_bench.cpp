// The same small programs in VBScript (this engine) and in JScript on Duktape (built as the
// page host builds it), timed in one run: an arithmetic loop of ten million steps, one
// megabyte built by concatenation, a million function calls, a million-element array filled
// and summed, and 100,000 keys added to a dictionary and looked up (Scripting.Dictionary for
// VBScript, a plain object, JScript's own map, for Duktape). Each pair is printed with the
// ratio Duktape time / VBScript time (>= 1 means VBScript is at least as fast). Both sides
// compile once outside the timing, as pages are cached.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "duktape.h"
#include "median_reporter.h"
#include "scripting/registration.h"
#include "vbscript/engine.h"

extern "C" int host_check(void*) { return 0; }

namespace {

struct Program {
  const char* name;
  const char* vbscript;
  const char* jscript;
};

const Program kPrograms[] = {
    {"arithmetic_10M",
     "Sub Main()\n Dim i, s\n s = 0\n For i = 1 To 10000000\n  s = s + i Mod 7\n Next\n"
     " If s <> 29999997 Then Err.Raise 5\nEnd Sub\nMain",
     "(function(){ var s = 0; for (var i = 1; i <= 10000000; i++) { s = s + i % 7; }"
     " if (s !== 29999997) throw new Error('wrong'); })();"},
    {"concat_1MB",
     "Sub Main()\n Dim s, i\n s = \"\"\n For i = 1 To 100000\n  s = s & \"0123456789\"\n Next\n"
     " If Len(s) <> 1000000 Then Err.Raise 5\nEnd Sub\nMain",
     "(function(){ var s = ''; for (var i = 1; i <= 100000; i++) { s = s + '0123456789'; }"
     " if (s.length !== 1000000) throw new Error('wrong'); })();"},
    {"calls_1M",
     "Function Add(a, b)\n Add = a + b\nEnd Function\n"
     "Sub Main()\n Dim i, s\n s = 0\n For i = 1 To 1000000\n  s = Add(s, 1)\n Next\n"
     " If s <> 1000000 Then Err.Raise 5\nEnd Sub\nMain",
     "function add(a, b) { return a + b; }"
     "(function(){ var s = 0; for (var i = 1; i <= 1000000; i++) { s = add(s, 1); }"
     " if (s !== 1000000) throw new Error('wrong'); })();"},
    {"array_1M",
     "Sub Main()\n Dim a(), i, s\n ReDim a(999999)\n For i = 0 To 999999\n  a(i) = i\n Next\n"
     " s = 0\n For i = 0 To 999999\n  s = s + a(i)\n Next\n"
     " If s <> 499999500000 Then Err.Raise 5\nEnd Sub\nMain",
     "(function(){ var a = new Array(1000000); for (var i = 0; i < 1000000; i++) { a[i] = i; }"
     " var s = 0; for (var i = 0; i < 1000000; i++) { s = s + a[i]; }"
     " if (s !== 499999500000) throw new Error('wrong'); })();"},
    {"dictionary_100k",
     "Sub Main()\n Dim d, i, s\n Set d = CreateObject(\"Scripting.Dictionary\")\n"
     " For i = 1 To 100000\n  d.Add \"k\" & i, i\n Next\n"
     " s = 0\n For i = 1 To 100000\n  s = s + d(\"k\" & i)\n Next\n"
     " If s <> 5000050000 Or d.Count <> 100000 Then Err.Raise 5\nEnd Sub\nMain",
     "(function(){ var d = {}; for (var i = 1; i <= 100000; i++) { d['k' + i] = i; }"
     " var s = 0; for (var i = 1; i <= 100000; i++) { s = s + d['k' + i]; }"
     " if (s !== 5000050000) throw new Error('wrong'); })();"},
};

// A host that writes nothing and creates what the scripting runtime registers.
class BenchHost : public vbscript::Host {
 public:
  BenchHost() { scripting::registerClasses(registry_, 936); }
  void writeLiteral(int) override {}
  void write(const automation::Variant&) override {}
  automation::ObjectRef createObject(automation::TextView progId) override {
    return registry_.create(progId);
  }
  Poll poll() override { return Poll::Continue; }

 private:
  automation::ClassRegistry registry_;
};

void vbscriptProgram(benchmark::State& state, const Program& p) {
  vbscript::Piece piece{vbscript::Piece::Kind::Code, automation::fromUtf8(p.vbscript), 0, {0, 1}};
  auto program = vbscript::compile(std::span<const vbscript::Piece>(&piece, 1));
  BenchHost host;
  for (auto _ : state) {
    vbscript::Run run(program, host);
    if (auto e = run.execute()) state.SkipWithError(automation::toUtf8(e->description).c_str());
  }
}

void jscriptProgram(benchmark::State& state, const Program& p) {
  duk_context* ctx = duk_create_heap_default();
  if (duk_pcompile_string(ctx, 0, p.jscript) != 0) {
    state.SkipWithError(duk_safe_to_string(ctx, -1));
    duk_destroy_heap(ctx);
    return;
  }
  for (auto _ : state) {
    duk_dup(ctx, -1);
    if (duk_pcall(ctx, 0) != 0) state.SkipWithError(duk_safe_to_string(ctx, -1));
    duk_pop(ctx);
  }
  duk_destroy_heap(ctx);
}

class RatioReporter : public MedianReporter {
 public:
  void Finalize() override {
    MedianReporter::Finalize();
    // CPU time: the machine is shared, and both engines run on one thread.
    std::printf("\n%-16s %12s %12s %8s\n", "program", "vbscript ms", "duktape ms", "ratio");
    for (const Program& p : kPrograms) {
      auto v = times_.find(std::string("vbscript/") + p.name);
      auto j = times_.find(std::string("duktape/") + p.name);
      if (v == times_.end() || j == times_.end()) continue;
      std::printf("%-16s %12.1f %12.1f %8.2f\n", p.name, v->second.cpu, j->second.cpu,
                  j->second.cpu / v->second.cpu);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  for (const Program& p : kPrograms) {
    benchmark::RegisterBenchmark((std::string("vbscript/") + p.name).c_str(), vbscriptProgram, p)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark((std::string("duktape/") + p.name).c_str(), jscriptProgram, p)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
