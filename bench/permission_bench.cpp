// The menu tree and the access list against one statement that reads the same rows (the floor),
// in the same run, on the same long-lived connection. DispMenuItem walks a 10 x 10 x 10 tree
// with one query per item that has children (111 queries, 1110 rows); GetPersonAccess reads a
// person's 10 groups, then the 100 items of each (11 queries, 1000 rows). The floors read the
// 1110 menu rows, and the 1000 granted items through one join, with the fields the class uses.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "median_reporter.h"
#include "permission/permission.h"

namespace {

using automation::Text;
using automation::Variant;

constexpr int kFanOut = 10;
constexpr int kGroups = 10;
constexpr int kItemsPerGroup = 100;

Text decimal(int n) { return automation::fromUtf8(std::to_string(n)); }

// Built once per run in a temporary file.
struct Database {
  std::string path;
  Text connStr;
  std::shared_ptr<ado::Connection> conn = std::make_shared<ado::Connection>();

  Database() {
    char name[] = "/tmp/balance-permission-bench-XXXXXX";
    close(mkstemp(name));
    path = name;
    connStr = automation::fromUtf8("Provider=SQLite;Data Source=" + path);
    conn->Open(connStr);
    conn->Execute(
        u"create table menu(menuID int, menuName varchar(50), menuFatherID int, menuOrder int, "
        u"systemID int)");
    conn->Execute(
        u"create table AccessMenu(AccessGroupID int, AccessMenuID int, accessmenutype int)");
    conn->Execute(u"create table accessPerson(accessGroupID int, accessPersonID int)");
    conn->BeginTrans();
    // Level 1: ids 1..10; level 2: 100 + 10 * parent + order; level 3: 10000 + 10 * parent + order.
    for (int a = 1; a <= kFanOut; ++a) {
      addItem(a, u"null", a);
      for (int b = 1; b <= kFanOut; ++b) {
        const int second = 100 + 10 * a + b;
        addItem(second, decimal(a), b);
        for (int c = 1; c <= kFanOut; ++c) addItem(10000 + 10 * second + c, decimal(second), c);
      }
    }
    for (int g = 1; g <= kGroups; ++g) {
      conn->Execute(u"insert into accessPerson values(" + decimal(g) + u",1)");
      for (int i = 1; i <= kItemsPerGroup; ++i) {
        conn->Execute(u"insert into AccessMenu values(" + decimal(g) + u"," +
                      decimal(g * 1000 + i) + u",1)");
      }
    }
    conn->CommitTrans();
    conn->Execute(u"create index menuFather on menu(menuFatherID)");
    conn->Execute(u"create index accessGroup on AccessMenu(AccessGroupID)");
    conn->Execute(u"create index accessPersonIndex on accessPerson(accessPersonID)");
  }
  ~Database() {
    conn->Close();
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path + suffix).c_str());
  }

  void addItem(int id, const Text& father, int order) {
    conn->Execute(u"insert into menu values(" + decimal(id) + u",'菜单项 " + decimal(id) + u"'," +
                  father + u"," + decimal(order) + u",1)");
  }
};

Database& database() {
  static Database d;
  return d;
}

// A page of the signed-in person 1 of system 1, bound to an instance whose database is open.
struct Page {
  std::shared_ptr<asp::Response> response = std::make_shared<asp::Response>();
  std::shared_ptr<asp::Session> session = std::make_shared<asp::Session>();
  permission::Permission permission;

  Page() {
    session->set(u"systemID", Variant(1));
    session->set(u"personID", Variant(1));
    auto context = std::make_shared<asp::ScriptingContext>(asp::PageObjects{
        std::make_shared<asp::Request>(), response,
        std::make_shared<asp::Server>(nullptr, [](automation::TextView v) { return Text(v); }),
        session, std::make_shared<asp::Application>()});
    Variant sc{automation::ObjectRef(context)};
    permission.OnStartPage(sc);
    Variant conn(database().connStr);
    permission.openDB(conn);
  }
};

// Reads every row of `sql` on the shared connection, with the named fields.
void readAll(const Text& sql, std::initializer_list<const char16_t*> fields) {
  ado::Recordset rs;
  rs.Open(Variant(sql), Variant(automation::ObjectRef(database().conn)), ado::adOpenKeyset, -1, -1);
  for (; !rs.eof(); rs.MoveNext()) {
    for (const char16_t* f : fields) benchmark::DoNotOptimize(rs.value(Variant(f)));
  }
  rs.Close();
}

void menuFloor(benchmark::State& state) {
  for (auto _ : state) {
    readAll(u"select * from menu where systemID=1", {u"menuID", u"menuName"});
  }
}

void dispMenuItem(benchmark::State& state) {
  Page page;
  std::size_t written = 0;
  for (auto _ : state) written = page.permission.DispMenuItem().size();
  state.counters["chars"] = static_cast<double>(written);
}

void accessFloor(benchmark::State& state) {
  for (auto _ : state) {
    readAll(
        u"select * from accessPerson, AccessMenu where accessPerson.accessGroupID="
        u"AccessMenu.AccessGroupID and accessPersonID=1",
        {u"accessMenuID"});
  }
}

void getPersonAccess(benchmark::State& state) {
  Page page;
  for (auto _ : state) page.permission.GetPersonAccess();
  state.counters["chars"] =
      static_cast<double>(automation::joinText(page.session->get(u"personAccess")).size());
}

BENCHMARK(menuFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(dispMenuItem)->Unit(benchmark::kMicrosecond);
BENCHMARK(accessFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(getPersonAccess)->Unit(benchmark::kMicrosecond);

// Prints each operation's time as a multiple of its floor, from the medians of this run (or
// its single runs), in real and in CPU time.
class RatioReporter : public MedianReporter {
 public:
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (auto [operation, floor] :
         {std::pair{"dispMenuItem", "menuFloor"}, std::pair{"getPersonAccess", "accessFloor"}}) {
      if (!times_.count(operation) || !times_.count(floor)) continue;
      const Times o = times_[operation];
      const Times f = times_[floor];
      std::printf("%-16s real %5.2f x its floor; cpu %5.2f x (target <= 4)\n", operation,
                  o.real / f.real, o.cpu / f.cpu);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  database();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
}
