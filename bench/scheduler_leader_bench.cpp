// The month overview of a group of persons (DispLeaderMonth) against the least any such
// overview must do: one statement that reads the same plans joined with their place names.
// The overview runs one period query per person (n + 1 statements), files each plan into its
// days and writes a cell per person and day; both run on an open connection to a database of
// 800 persons with 15 plans each in May 2001 (3,000 for the 200 persons of the overview) and 10
// each in April and June. Then, in a child process each, overviews of 50, 200 and 800 persons
// report how far their peak resident size grew beside the size of the text they return: what
// the overview holds besides its own output must not grow with the number of persons.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "median_reporter.h"
#include "scheduler/scheduler.h"

namespace {

using automation::Text;
using automation::Variant;

constexpr int kPersons = 800;
constexpr int kShown = 200;
constexpr int kPlansInMay = 15;
constexpr int kPlansAround = 10;

Text number(long n) { return automation::fromUtf8(std::to_string(n)); }

// The plans of person p: 15 in May, some over two or three days, and 10 in April or June.
Text planInsert(int first, int perPerson, const char* month, int daysInMonth) {
  const long rows = static_cast<long>(kPersons) * perPerson;
  return u"insert into personPlan(planID,planStartTime,planEndTime,planAddrTypeID,planAddrID,"
         u"planAddrDetail,planTypeID,planContent,planAddition,planFlagID,personID) "
         u"with recursive n(i) as (select 0 union all select i+1 from n where i<" +
         number(rows - 1) + u") select " + number(first) + u"+i, datetime(s, '+' || ((i*7) % " +
         number(daysInMonth) + u") || ' days'), datetime(s, '+' || ((i*7) % " +
         number(daysInMonth) +
         u") || ' days', '+' || (2 + (i % 5) * 12) || ' hours'), 1 + i % 4, 1 + i % 10, '', 1, "
         u"'content', '', 1, 1 + i / " +
         number(perPerson) + u" from n, (select '" + automation::fromUtf8(month) +
         u"-01 08:00:00' as s)";
}

// Built once per run in a temporary file.
struct PlanDb {
  std::string path;
  Text connStr;

  PlanDb() {
    char name[] = "/tmp/balance-scheduler-bench-XXXXXX";
    close(mkstemp(name));
    path = name;
    connStr = automation::fromUtf8("Provider=SQLite;Data Source=" + path);
    ado::Connection c;
    c.Open(connStr);
    c.Execute(u"begin");
    c.Execute(u"create table personDuty(dutyID integer primary key, dutyName varchar(20))");
    c.Execute(
        u"insert into personDuty values(1,'处长'),(2,'副处长'),(3,'科长'),(4,'科员'),(5,'司机')");
    c.Execute(
        u"create table person(personID integer primary key, personName varchar(20), "
        u"dutyID integer, systemID integer)");
    c.Execute(
        u"insert into person(personID,personName,dutyID,systemID) with recursive n(i) as "
        u"(select 1 union all select i+1 from n where i<" +
        number(kPersons) + u") select i, '人员' || i, 1 + i % 5, 1 from n");
    c.Execute(
        u"create table planAddrType(planAddrTypeID integer primary key, planAddrTypeName "
        u"varchar(20))");
    c.Execute(u"insert into planAddrType values(1,'办公室'),(2,'北京'),(3,'外地'),(4,'国外')");
    c.Execute(u"create table planAddr(planAddrID integer primary key, planAddrName varchar(20))");
    c.Execute(
        u"insert into planAddr(planAddrID,planAddrName) with recursive n(i) as (select 1 "
        u"union all select i+1 from n where i<10) select i, '地点' || i from n");
    c.Execute(
        u"create table personPlan(planID integer primary key, planStartTime datetime, "
        u"planEndTime datetime, planAddrTypeID integer, planAddrID integer, planAddrDetail "
        u"varchar(50), planTypeID integer, planContent varchar(200), planAddition "
        u"varchar(200), planFlagID integer, personID integer)");
    c.Execute(planInsert(1, kPlansInMay, "2001-05", 30));
    c.Execute(planInsert(1 + kPersons * kPlansInMay, kPlansAround / 2, "2001-04", 30));
    c.Execute(planInsert(1 + kPersons * (kPlansInMay + kPlansAround / 2), kPlansAround / 2,
                         "2001-06", 30));
    c.Execute(u"create index personPlanByPerson on personPlan(personID, planStartTime)");
    c.Execute(u"commit");
    c.Close();
  }
  ~PlanDb() {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  }
};

PlanDb& db() {
  static PlanDb d;
  return d;
}

Text condition(int persons) { return u"person.personID<=" + number(persons); }

// A page of the overview with its database open, as after Init.
struct LeaderPage {
  std::shared_ptr<asp::Response> response = std::make_shared<asp::Response>();
  std::shared_ptr<asp::Session> session = std::make_shared<asp::Session>();
  schedule::scheduler overview;

  LeaderPage() {
    auto request = std::make_shared<asp::Request>();
    request->setServerVariable(u"URL", u"/scheduler/leaderMonth.asp");
    session->set(u"systemID", Variant(1));
    auto context = std::make_shared<asp::ScriptingContext>(asp::PageObjects{
        request, response,
        std::make_shared<asp::Server>(nullptr, [](automation::TextView v) { return Text(v); }),
        session, std::make_shared<asp::Application>()});
    overview.OnStartPage(Variant(automation::ObjectRef(context)));
    overview.Init(Variant(db().connStr));
  }

  std::size_t month(int persons) {
    return overview.DispLeaderMonth(Variant(u"2001-05-15"), Variant(condition(persons)))
        .text()
        .size();
  }
};

void leaderMonth(benchmark::State& state) {
  LeaderPage page;
  std::size_t chars = 0;
  for (auto _ : state) chars = page.month(kShown);
  state.counters["chars"] = static_cast<double>(chars);
}

// The same plans of the same persons, joined with their place names, in one statement.
void planFloor(benchmark::State& state) {
  auto conn = std::make_shared<ado::Connection>();
  conn->Open(db().connStr);
  const Text sql =
      u"select planStartTime,planEndTime,personPlan.planAddrTypeID,planAddrTypeName,planAddrName "
      u"from personPlan,planAddrType,planAddr,person where "
      u"personPlan.planAddrTypeID=planAddrType.planAddrTypeID and "
      u"personPlan.planAddrID=planAddr.planAddrID and personPlan.personID=person.personID and "
      u"person.systemID=1 and " +
      condition(kShown) +
      u" and planEndTime>='2001-05-01' and planStartTime<='2001-05-31' and planFlagID=1 order by "
      u"personPlan.personID,planStartTime";
  long rows = 0;
  for (auto _ : state) {
    ado::Recordset rs;
    rs.Open(Variant(sql), Variant(automation::ObjectRef(conn)), ado::adOpenKeyset, -1, -1);
    rows = 0;
    for (; !rs.eof(); rs.MoveNext(), ++rows) {
      for (int f = 0; f < 5; ++f) benchmark::DoNotOptimize(rs.value(Variant(f)));
    }
    rs.Close();
  }
  state.counters["plans"] = static_cast<double>(rows);
  conn->Close();
}

BENCHMARK(planFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(leaderMonth)->Unit(benchmark::kMillisecond);

class RatioReporter : public MedianReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    if (!times_.count("leaderMonth") || !times_.count("planFloor")) return;
    const Times overview = times_["leaderMonth"];
    const Times floor = times_["planFloor"];
    std::printf("leaderMonth of %d persons: real %.2f x the plan statement, cpu %.2f x\n", kShown,
                overview.real / floor.real, overview.cpu / floor.cpu);
  }
};

// "VmRSS" (resident now) or "VmHWM" (the peak since the last reset) of this process, in kB.
long residentKb(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  long kb = 0;
  const std::size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status)) {
    if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
      kb = std::atol(line + length + 1);
    }
  }
  std::fclose(status);
  return kb;
}

// Sets the peak back to what is resident now (Linux 4.0 and later).
void resetPeak() {
  if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
}

// In a child of its own. An overview of every person runs first and is let go: the database's
// page cache and the statements are then as full as they get, and its text goes back to the
// system (large blocks are mapped and unmapped, never kept by the allocator). The peak is then
// set back to what is resident, so that what is measured is the overview's own need.
void reportPeak(int persons) {
  int out[2];
  if (pipe(out) != 0) return;
  const pid_t child = fork();
  if (child == 0) {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    LeaderPage page;
    page.month(kPersons);
    resetPeak();
    const long before = residentKb("VmRSS");
    const long chars = static_cast<long>(page.month(persons));
    const long grown[2] = {residentKb("VmHWM") - before, chars};
    (void)!write(out[1], grown, sizeof grown);
    _exit(0);
  }
  close(out[1]);
  long grown[2] = {0, 0};
  const bool read = ::read(out[0], grown, sizeof grown) == sizeof grown;
  close(out[0]);
  waitpid(child, nullptr, 0);
  if (!read) return;
  const double textMb = static_cast<double>(grown[1]) * sizeof(char16_t) / (1024.0 * 1024.0);
  std::printf("leaderMonth of %3d persons: peak grew %6.2f MB for %5.2f MB of text (%.2f x)\n",
              persons, static_cast<double>(grown[0]) / 1024.0, textMb,
              static_cast<double>(grown[0]) / 1024.0 / textMb);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  db();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (int persons : {50, kShown, kPersons}) reportPeak(persons);
}
