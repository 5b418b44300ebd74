// ADODB.Command: placeholders bound as parameters, never pasted into the statement.
#include "ado/provider_fixture.h"

namespace ado {
namespace {

using automation::InvokeKind;
using automation::ObjectRef;
using automation::toInt32;
using automation::toText;

Variant call(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args = {}) {
  return d.invoke(member, InvokeKind::Method, std::move(args));
}
void put(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args) {
  d.invoke(member, InvokeKind::PropertyPut, std::move(args));
}

class CommandTest : public ProviderTest {
 protected:
  void SetUp() override {
    ProviderTest::SetUp();
    run(u"create table item(id integer primary key, name varchar(40), price double, "
        u"added datetime)");
  }
  std::shared_ptr<automation::Dispatch> newCommand(const Text& sql) {
    automation::ClassRegistry registry;
    registerClasses(registry);
    auto cmd = registry.create(u"ADODB.Command");
    put(*cmd, u"ActiveConnection", {Variant(ObjectRef(conn_))});
    put(*cmd, u"CommandText", {Variant(sql)});
    return cmd;
  }
};

TEST_P(CommandTest, BindsParametersToPlaceholdersInOrder) {
  auto insert = newCommand(u"insert into item(name, price, added) values (?, ?, ?)");
  Variant params = insert->invoke(u"Parameters", InvokeKind::PropertyGet);
  for (auto [name, type, value] :
       {std::tuple{u"name", 202, Variant(u"a'b --")}, std::tuple{u"price", 5, Variant(u"2.5")},
        std::tuple{u"added", 135, Variant(u"2024-02-29 13:05:00")}}) {
    Variant p = call(*insert, u"CreateParameter",
                     {Variant(name), Variant(type), Variant(1), Variant(40), value});
    call(*params.object(), u"Append", {p});
  }
  std::vector<Variant> args{Variant()};
  insert->invoke(u"Execute", InvokeKind::Method, automation::Args(args));
  EXPECT_EQ(toInt32(args[0]), 1);
  EXPECT_EQ(toInt32(params.object()->invoke(u"Count", InvokeKind::PropertyGet)), 3);

  auto select = newCommand(u"select name, price, added from item where name = ?");
  Variant rs =
      call(*select, u"Execute", {Variant::missing(), Variant(Variant::Array{Variant(u"a'b --")})});
  auto& r = *automation::objectAs<Recordset>(rs);
  ASSERT_FALSE(r.eof());
  EXPECT_EQ(toText(r.value(Variant(0))), u"a'b --");
  EXPECT_EQ(automation::toDouble(r.value(Variant(1))), 2.5);  // converted to the declared type
  EXPECT_EQ(automation::toDate(r.value(Variant(2))).text(), u"2024-02-29 13:05:00");
}

TEST_P(CommandTest, ARecordsetOpensOnACommandWithItsParameters) {
  run(u"insert into item(name) values('x')");
  run(u"insert into item(name) values('y')");
  auto select = newCommand(u"select name from item where name <> ? order by name");
  auto param = automation::objectAs<Parameter>(
      call(*select, u"CreateParameter",
           {Variant(u"n"), Variant(200), Variant(1), Variant(10), Variant(u"x")}));
  automation::objectAs<Command>(Variant(ObjectRef(select)))->Parameters()->Append(param);
  Recordset rs;
  rs.Open(Variant(ObjectRef(select)), Variant(), adOpenStatic, -1, -1);
  EXPECT_EQ(toText(rs.value(Variant(0))), u"y");
  EXPECT_EQ(rs.RecordCount(), 1);  // counted with the same parameters
}

TEST_P(CommandTest, AWrongNumberOfParametersIsAnError) {
  auto cmd = newCommand(u"select * from item where id = ?");
  EXPECT_THROW(call(*cmd, u"Execute"), AutomationError);
}

INSTANTIATE_TEST_SUITE_P(Providers, CommandTest, ::testing::ValuesIn(kTargets), targetName);

}  // namespace
}  // namespace ado
