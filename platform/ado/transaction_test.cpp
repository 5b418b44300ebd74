// Transactions of a connection, against the embedded provider and against ODBC: what a second
// connection of the same file sees before and after the end, nesting, and the refusals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <ostream>
#include <string>

#include "ado/ado.h"
#include "automation/error.h"

namespace ado {
namespace {

using automation::AutomationError;
using automation::InvokeKind;

std::uint32_t codeOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const AutomationError& e) {
    return static_cast<std::uint32_t>(e.code());
  }
  ADD_FAILURE() << "no error raised";
  return 0;
}

struct Target {
  const char* name;
  const char* prefix;  // the connection string up to the file name
  bool nests;
};

void PrintTo(const Target& t, std::ostream* os) { *os << t.name; }

class Transactions : public ::testing::TestWithParam<Target> {
 protected:
  void SetUp() override {
    char path[] = "/tmp/balance-ado-trans-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    path_ = path;
    conn_ = connect();
    conn_->Execute(u"create table t(id int)");
    conn_->Execute(u"insert t(id) values(1)");
  }

  void TearDown() override {
    conn_.reset();
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
      std::remove((path_ + suffix).c_str());
    }
  }

  std::shared_ptr<Connection> connect() const {
    auto c = std::make_shared<Connection>();
    c->Open(automation::fromUtf8(std::string(GetParam().prefix) + path_));
    return c;
  }

  // The ids of t as another connection of the same file reads them, in order.
  Text idsSeenElsewhere() const {
    auto other = connect();
    Recordset rs;
    rs.Open(Variant(u"select id from t order by id"), Variant(automation::ObjectRef(other)),
            adOpenForwardOnly);
    Text ids;
    for (; !rs.eof(); rs.MoveNext()) ids += automation::toText(rs.value(Variant(0))) + u",";
    rs.Close();
    other->Close();
    return ids;
  }

  std::string path_;
  std::shared_ptr<Connection> conn_;
};

TEST_P(Transactions, CommitKeepsAndRollbackUndoesWhatRanInside) {
  EXPECT_EQ(conn_->BeginTrans(), 1);
  conn_->Execute(u"insert t(id) values(2)");
  conn_->Execute(u"delete t where id=1");
  EXPECT_EQ(idsSeenElsewhere(), u"1,");  // nothing shows before the end
  conn_->RollbackTrans();
  EXPECT_EQ(idsSeenElsewhere(), u"1,");

  EXPECT_EQ(conn_->BeginTrans(), 1);  // the level starts over
  conn_->Execute(u"insert t(id) values(3)");
  conn_->CommitTrans();
  EXPECT_EQ(idsSeenElsewhere(), u"1,3,");
  conn_->Execute(u"insert t(id) values(4)");  // back to committing each statement
  EXPECT_EQ(idsSeenElsewhere(), u"1,3,4,");
}

TEST_P(Transactions, EndingWithoutOneOrClosingInsideOneIsRefused) {
  EXPECT_EQ(codeOf([&] { conn_->CommitTrans(); }), 0x8004D00Eu);
  EXPECT_EQ(codeOf([&] { conn_->RollbackTrans(); }), 0x8004D00Eu);
  conn_->BeginTrans();
  EXPECT_EQ(codeOf([&] { conn_->Close(); }), 0x800A0CAEu);
  EXPECT_EQ(conn_->State(), adStateOpen);
  conn_->Execute(u"insert t(id) values(2)");
  conn_->CommitTrans();
  conn_->Close();
  EXPECT_EQ(codeOf([&] { conn_->BeginTrans(); }), 0x800A0E78u);  // closed
  EXPECT_EQ(idsSeenElsewhere(), u"1,2,");
}

TEST_P(Transactions, ReleasedInsideOneRollsBackAndFreesTheDatabase) {
  conn_->BeginTrans();
  conn_->Execute(u"insert t(id) values(2)");
  conn_.reset();
  auto next = connect();
  next->Execute(u"insert t(id) values(5)");  // would wait for a lock still held
  EXPECT_EQ(idsSeenElsewhere(), u"1,5,");
}

TEST_P(Transactions, InnerOnesEndOnTheirOwnWhereTheProviderNests) {
  EXPECT_EQ(conn_->BeginTrans(), 1);
  conn_->Execute(u"insert t(id) values(2)");
  if (!GetParam().nests) {
    EXPECT_EQ(codeOf([&] { conn_->BeginTrans(); }), 0x8004D013u);
    conn_->CommitTrans();  // the outer one is still the one open
    EXPECT_EQ(idsSeenElsewhere(), u"1,2,");
    return;
  }
  EXPECT_EQ(conn_->BeginTrans(), 2);
  conn_->Execute(u"insert t(id) values(3)");
  EXPECT_EQ(conn_->BeginTrans(), 3);
  conn_->Execute(u"insert t(id) values(4)");
  conn_->CommitTrans();    // 4 joins level 2
  conn_->RollbackTrans();  // level 2 goes, with 3 and 4
  conn_->Execute(u"insert t(id) values(5)");
  EXPECT_EQ(idsSeenElsewhere(), u"1,");
  conn_->CommitTrans();
  EXPECT_EQ(idsSeenElsewhere(), u"1,2,5,");
}

TEST_P(Transactions, ScriptsCallThemByName) {
  automation::ClassRegistry registry;
  registerClasses(registry);
  auto conn = registry.create(u"ADODB.Connection");
  conn->invoke(u"Open", InvokeKind::Method,
               {Variant(automation::fromUtf8(std::string(GetParam().prefix) + path_))});
  EXPECT_EQ(automation::toInt32(conn->invoke(u"begintrans", InvokeKind::Method)), 1);
  conn->invoke(u"Execute", InvokeKind::Method, {Variant(u"insert t(id) values(2)")});
  conn->invoke(u"RollbackTrans", InvokeKind::Method);
  conn->invoke(u"BeginTrans", InvokeKind::Method);
  conn->invoke(u"Execute", InvokeKind::Method, {Variant(u"insert t(id) values(3)")});
  conn->invoke(u"CommitTrans", InvokeKind::Method);
  conn->invoke(u"Close", InvokeKind::Method);
  EXPECT_EQ(idsSeenElsewhere(), u"1,3,");
}

const Target kTargets[] = {{"Sqlite", "Provider=SQLite;Data Source=", true},
                           {"Odbc", "Driver={SQLite3};Database=", false}};

std::string targetName(const ::testing::TestParamInfo<Target>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Providers, Transactions, ::testing::ValuesIn(kTargets), targetName);

}  // namespace
}  // namespace ado
