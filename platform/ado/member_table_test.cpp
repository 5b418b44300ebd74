// What scripts see: the objects reached through their member tables and the class registry.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "ado/ado.h"
#include "automation/error.h"

namespace ado {
namespace {

using automation::InvokeKind;

class ScriptAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    char path[] = "/tmp/balance-ado-script-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    path_ = path;
    registerClasses(registry_);
  }
  void TearDown() override {
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((path_ + suffix).c_str());
  }
  Variant connectionString() const {
    return Variant(automation::fromUtf8("Provider=SQLite;Data Source=" + path_));
  }

  std::string path_;
  automation::ClassRegistry registry_;
};

TEST_F(ScriptAccess, PagesCreateConnectAndRead) {
  auto conn = registry_.create(u"ADODB.Connection");
  conn->invoke(u"Open", InvokeKind::Method, {connectionString()});
  EXPECT_EQ(automation::toInt32(conn->invoke(u"State", InvokeKind::PropertyGet)), 1);
  conn->invoke(u"Execute", InvokeKind::Method,
               {Variant(u"create table t(id int, name varchar(9))")});
  std::vector<Variant> args{Variant(u" insert t(id,name) values(4,'x')"), Variant::missing(),
                            Variant(-1)};
  conn->invoke(u"Execute", InvokeKind::Method, args);

  auto rs = registry_.create(u"adodb.recordset");
  rs->invoke(u"Open", InvokeKind::Method,
             {Variant(u"select id,name from t"), Variant(conn), Variant(1)});
  EXPECT_FALSE(automation::toBool(rs->invoke(u"EOF", InvokeKind::PropertyGet)));
  EXPECT_EQ(automation::toText(rs->invoke(u"", InvokeKind::PropertyGet, {Variant(u"name")})), u"x");
  EXPECT_EQ(automation::toInt32(rs->invoke(u"", InvokeKind::PropertyGet, {Variant(0)})), 4);

  auto fields = automation::objectAs<Fields>(rs->invoke(u"Fields", InvokeKind::PropertyGet));
  EXPECT_EQ(automation::toInt32(fields->invoke(u"Count", InvokeKind::PropertyGet)), 2);
  auto field = fields->invoke(u"", InvokeKind::PropertyGet, {Variant(1)}).object();
  EXPECT_EQ(automation::toText(field->invoke(u"Name", InvokeKind::PropertyGet)), u"name");
  EXPECT_EQ(automation::toInt32(field->invoke(u"Type", InvokeKind::PropertyGet)), 200);
  EXPECT_EQ(automation::toText(field->invoke(u"", InvokeKind::PropertyGet)), u"x");
  auto byName = rs->invoke(u"Fields", InvokeKind::PropertyGet, {Variant(u"ID")}).object();
  EXPECT_EQ(automation::toInt32(byName->invoke(u"Value", InvokeKind::PropertyGet)), 4);

  rs->invoke(u"PageSize", InvokeKind::PropertyPut, {Variant(1)});
  EXPECT_EQ(automation::toInt32(rs->invoke(u"PageCount", InvokeKind::PropertyGet)), 1);
  rs->invoke(u"MoveNext", InvokeKind::Method);
  EXPECT_TRUE(automation::toBool(rs->invoke(u"EOF", InvokeKind::PropertyGet)));
  rs->invoke(u"Close", InvokeKind::Method);
  conn->invoke(u"Close", InvokeKind::Method);
}

TEST_F(ScriptAccess, ExecuteReportsRecordsAffectedByReference) {
  auto conn = registry_.create(u"ADODB.Connection");
  conn->invoke(u"ConnectionString", InvokeKind::PropertyPut, {connectionString()});
  conn->invoke(u"Open", InvokeKind::Method);
  conn->invoke(u"Execute", InvokeKind::Method, {Variant(u"create table t(id int)")});
  conn->invoke(u"Execute", InvokeKind::Method, {Variant(u" insert t(id) values(1)")});
  conn->invoke(u"Execute", InvokeKind::Method, {Variant(u" insert t(id) values(2)")});
  std::vector<Variant> args{Variant(u" delete t where id>0"), Variant()};
  conn->invoke(u"Execute", InvokeKind::Method, automation::Args(args));
  EXPECT_EQ(automation::toInt32(args[1]), 2);
  Variant rows = conn->invoke(u"Execute", InvokeKind::Method, {Variant(u"select count(*) from t")});
  EXPECT_EQ(automation::toInt32(rows.object()->invoke(u"", InvokeKind::PropertyGet, {Variant(0)})),
            0);
}

}  // namespace
}  // namespace ado
