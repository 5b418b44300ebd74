// DispList of a million-row table against the recordset paging underneath it: open, page
// size, absolute page and reading the page's rows, with and without the row count that any
// page bar needs. The list counts in 16 bits: at 40 rows per page the page selector's 25000
// pages fit (20 rows would give 50000, an overflow), and row numbers fit up to row 32767, so
// the deepest page the list can show is 819. The recordset paging is also timed at 20 rows
// for the first and the middle page of the table on one long-lived connection, as the data
// access benchmark does. A list request opens its own connection (OpenDNA), usually on a pooled
// database handle, so the paging it is compared with opens one the same way, untimed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "dna/dna.h"
#include "median_reporter.h"

namespace {

using automation::Text;
using automation::Variant;

constexpr int kRows = 1000000;
constexpr int kListPageSize = 40;
constexpr int kDeepestPage = 32767 / kListPageSize;
constexpr char16_t kListSQL[] = u"select id,name,dept,kind from big";

// Built once per run in a temporary file.
struct Table {
  std::string path;
  Text connStr;
  std::shared_ptr<ado::Connection> conn = std::make_shared<ado::Connection>();

  Table() {
    char name[] = "/tmp/balance-dna-bench-XXXXXX";
    close(mkstemp(name));
    path = name;
    connStr = automation::fromUtf8("Provider=SQLite;Data Source=" + path);
    conn->Open(connStr);
    conn->Execute(
        u"create table big(id integer primary key, name varchar(40), dept integer, kind "
        u"varchar(2))");
    conn->Execute(
        u"insert into big(id,name,dept,kind) with recursive n(i) as (select 1 union all select "
        u"i+1 from n where i<" +
        automation::fromUtf8(std::to_string(kRows)) +
        u") select i, 'person number ' || i, i % 10, 'A' from n");
  }
  ~Table() {
    conn->Close();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  }
};

Table& table() {
  static Table t;
  return t;
}

void readRows(ado::Recordset& rs, int pageSize) {
  for (int i = 0; i < pageSize && !rs.eof(); ++i, rs.MoveNext()) {
    for (int f = 0; f < 4; ++f) benchmark::DoNotOptimize(rs.value(Variant(f)));
  }
}

// Arguments: page, page size, whether the row count is read as well, whether each round has a
// connection of its own.
void recordsetPage(benchmark::State& state) {
  Table& t = table();
  const auto page = static_cast<std::int32_t>(state.range(0));
  const auto pageSize = static_cast<std::int32_t>(state.range(1));
  for (auto _ : state) {
    std::shared_ptr<ado::Connection> conn = t.conn;
    if (state.range(3)) {
      state.PauseTiming();
      conn = std::make_shared<ado::Connection>();
      conn->Open(t.connStr);
      state.ResumeTiming();
    }
    ado::Recordset rs;
    rs.Open(Variant(kListSQL), Variant(automation::ObjectRef(conn)), ado::adOpenKeyset, -1, -1);
    rs.setPageSize(pageSize);
    rs.setAbsolutePage(page);
    if (state.range(2)) benchmark::DoNotOptimize(rs.RecordCount());
    readRows(rs, pageSize);
    rs.Close();
  }
}

// A repeated request of the list page: the session already holds its URL and page size.
struct ListRequest {
  std::shared_ptr<asp::Request> request = std::make_shared<asp::Request>();
  std::shared_ptr<asp::Response> response = std::make_shared<asp::Response>();
  std::shared_ptr<asp::Session> session = std::make_shared<asp::Session>();
  dna::DNA dna;

  explicit ListRequest(int page) {
    request->setQueryString("action=list&page=" + std::to_string(page));
    request->setServerVariable(u"URL", u"/big.asp");
    session->set(u"strURL", u"/big.asp");
    session->set(u"nPageSize", automation::Int16(kListPageSize));
    auto context = std::make_shared<asp::ScriptingContext>(asp::PageObjects{
        request, response,
        std::make_shared<asp::Server>(nullptr, [](automation::TextView v) { return Text(v); }),
        session, std::make_shared<asp::Application>()});
    Variant sc{automation::ObjectRef(context)};
    dna.OnStartPage(sc);
    Variant conn(table().connStr), sql(kListSQL), captions(u"编号,姓名,部门,类别");
    dna.OpenDNA(conn, sql, captions);
  }
};

void dispList(benchmark::State& state) {
  table();
  const auto page = static_cast<int>(state.range(0));
  std::size_t written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ListRequest r(page);
    state.ResumeTiming();
    r.dna.DispList();
    state.PauseTiming();
    written = r.response->text().size();
    r.dna.CloseDNA();
    state.ResumeTiming();
  }
  state.counters["chars"] = static_cast<double>(written);
}

BENCHMARK(recordsetPage)
    ->ArgNames({"page", "size", "count", "fresh"})
    ->Args({1, 20, 0, 0})
    ->Args({kRows / 20 / 2, 20, 0, 0})
    ->Args({1, kListPageSize, 0, 1})
    ->Args({1, kListPageSize, 1, 1})
    ->Args({kDeepestPage, kListPageSize, 0, 1})
    ->Args({kDeepestPage, kListPageSize, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(dispList)->ArgName("page")->Arg(1)->Arg(kDeepestPage)->Unit(benchmark::kMillisecond);

// Prints each list's time as a multiple of the recordset paging of the same page and size,
// without and with the row count, from the medians of this run (or its single runs); in CPU
// time too, which the load of a shared machine disturbs less than real time.
class RatioReporter : public MedianReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (int page : {1, kDeepestPage}) {
      const std::string list = "dispList/page:" + std::to_string(page);
      const std::string paging = "recordsetPage/page:" + std::to_string(page) +
                                 "/size:" + std::to_string(kListPageSize) + "/count:";
      if (!times_.count(list) || !times_.count(paging + "0/fresh:1") ||
          !times_.count(paging + "1/fresh:1")) {
        continue;
      }
      const Times l = times_[list];
      const Times bare = times_[paging + "0/fresh:1"];
      const Times counted = times_[paging + "1/fresh:1"];
      std::printf("%-20s real %7.2f x paging, %5.2f x paging with count; cpu %7.2f x, %5.2f x\n",
                  list.c_str(), l.real / bare.real, l.real / counted.real, l.cpu / bare.cpu,
                  l.cpu / counted.cpu);
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
