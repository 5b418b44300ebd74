// A list page of a million-row table costs what the rows before it cost to pass over, and
// memory for one row: each page is timed beside a bare count(*) of the same table in the same
// run, and the growth of the peak resident size over all page reads is reported.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ado/ado.h"
#include "median_reporter.h"

namespace {

using ado::Connection;
using ado::Recordset;
using automation::Variant;

constexpr int kRows = 1000000;
constexpr int kPageSize = 20;

long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The table is built once per run, in a temporary file, by a child process, so that the peak
// resident size of this one starts out at what opening and reading need.
struct Table {
  std::string path;
  automation::Text connectionString;
  std::shared_ptr<Connection> conn = std::make_shared<Connection>();

  Table() {
    char name[] = "/tmp/balance-ado-bench-XXXXXX";
    close(mkstemp(name));
    path = name;
    connectionString = automation::fromUtf8("Provider=SQLite;Data Source=" + path);
    pid_t child = fork();
    if (child == 0) {
      build();
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    conn->Open(connectionString);
  }
  ~Table() {
    conn->Close();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  }

  void build() const {
    Connection c;
    c.Open(connectionString);
    c.Execute(
        u"create table big(id integer primary key, name varchar(40), age int, "
        u"born datetime)");
    c.Execute(
        u"insert into big(id,name,age,born) with recursive n(i) as (select 1 union all "
        u"select i+1 from n where i<" +
        automation::fromUtf8(std::to_string(kRows)) +
        u") select i, 'person number ' || i, i % 90, '2001-05-07 09:00:00' from n");
    c.Close();
  }
};

Table& table() {
  static Table t;
  return t;
}

void countRows(benchmark::State& state) {
  Table& t = table();
  for (auto _ : state) {
    Variant rs = t.conn->Execute(u"select count(*) from big");
    benchmark::DoNotOptimize(automation::objectAs<Recordset>(rs)->value(Variant(0)));
  }
}

void readPage(benchmark::State& state) {
  Table& t = table();
  int page = static_cast<int>(state.range(0));
  long before = peakResidentKb();
  for (auto _ : state) {
    Recordset rs;
    rs.Open(Variant(u"select id,name,age,born from big order by id"),
            Variant(automation::ObjectRef(t.conn)), ado::adOpenKeyset, -1, -1);
    rs.setPageSize(kPageSize);
    rs.setAbsolutePage(page);
    for (int i = 0; i < kPageSize && !rs.eof(); ++i, rs.MoveNext()) {
      for (int f = 0; f < 4; ++f) benchmark::DoNotOptimize(rs.value(Variant(f)));
    }
    rs.Close();
  }
  state.counters["peak_growth_MB"] = static_cast<double>(peakResidentKb() - before) / 1024.0;
  state.counters["peak_MB"] = static_cast<double>(peakResidentKb()) / 1024.0;
}

BENCHMARK(countRows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(readPage)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Arg(1)
    ->Arg(kRows / kPageSize / 2)
    ->Arg(kRows / kPageSize)
    ->Unit(benchmark::kMillisecond);

// Prints each page's time as a multiple of the count's, measured in this same run.
class RatioReporter : public MedianReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    const Times count = times_["countRows"];
    for (const auto& [name, time] : times_) {
      if (name == "countRows" || count.real <= 0 || count.cpu <= 0) continue;
      std::printf("%-16s %6.2f x count(*) real, %6.2f x count(*) cpu\n", name.c_str(),
                  time.real / count.real, time.cpu / count.cpu);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  table();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
