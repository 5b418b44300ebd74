// Fields, navigation, row export and row writes of recordsets, through the typed API and
// through invoke by name as scripts call them, on both providers.
#include "ado/provider_fixture.h"

namespace ado {
namespace {

using automation::InvokeKind;
using automation::ObjectRef;
using automation::toInt32;
using automation::toText;

Variant get(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args = {}) {
  return d.invoke(member, InvokeKind::PropertyGet, std::move(args));
}
Variant call(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args = {}) {
  return d.invoke(member, InvokeKind::Method, std::move(args));
}
void put(automation::Dispatch& d, automation::TextView member, std::vector<Variant> args) {
  d.invoke(member, InvokeKind::PropertyPut, std::move(args));
}

class RecordsetTest : public ProviderTest {
 protected:
  void SetUp() override {
    ProviderTest::SetUp();
    run(u"create table staff(id integer primary key, name varchar(20), born datetime, note text)");
    run(u"insert into staff(id,name,born) values(1,'Wang','2001-05-07 09:30:00')");
    run(u"insert into staff(id,name,note) values(2,'Li','x')");
    run(u"insert into staff(id,name) values(3,'Zhao')");
  }
  std::shared_ptr<Recordset> openFor(const Text& sql, std::int32_t lockType) {
    auto rs = std::make_shared<Recordset>();
    rs->Open(Variant(sql), Variant(ObjectRef(conn_)), adOpenKeyset, lockType, -1);
    return rs;
  }
};

TEST_P(RecordsetTest, FieldsFollowTheCurrentRowAndDescribeTheirColumns) {
  auto rs = open(u"select id, name, born from staff order by id");
  Variant name = get(*rs, u"", {Variant(u"NAME")});  // rs("name") is the Field
  Variant fields = get(*rs, u"Fields");
  EXPECT_EQ(toInt32(get(*fields.object(), u"Count")), 3);
  EXPECT_EQ(toText(get(*name.object(), u"Name")), u"name");
  EXPECT_EQ(toText(get(*name.object(), u"Value")), u"Wang");
  EXPECT_EQ(toText(name), u"Wang");  // Value is the default member
  EXPECT_EQ(toInt32(get(*name.object(), u"DefinedSize")), 20);
  EXPECT_EQ(toInt32(get(*name.object(), u"ActualSize")), 4);
  EXPECT_EQ(toInt32(get(*get(*rs, u"Fields", {Variant(2)}).object(), u"Type")), 135);
  call(*rs, u"MoveNext");
  EXPECT_EQ(toText(name), u"Li");
  auto each = fields.object()->enumerate();
  ASSERT_TRUE(each);
  ASSERT_EQ(each->size(), 3u);
  EXPECT_EQ(toInt32((*each)[0]), 2);
  // The C++ API of the components is unchanged.
  EXPECT_EQ(rs->value(Variant(u"name")).text(), u"Li");
}

TEST_P(RecordsetTest, MovesBothWaysAndReportsPositions) {
  auto rs = open(u"select id from staff order by id");
  call(*rs, u"MoveLast");
  EXPECT_EQ(toInt32(rs->value(Variant(0))), 3);
  EXPECT_EQ(toInt32(get(*rs, u"AbsolutePosition")), 3);
  call(*rs, u"MovePrevious");
  EXPECT_EQ(toInt32(rs->value(Variant(0))), 2);
  call(*rs, u"MovePrevious");
  call(*rs, u"MovePrevious");
  EXPECT_TRUE(automation::toBool(get(*rs, u"BOF")));
  EXPECT_EQ(toInt32(get(*rs, u"AbsolutePosition")), -2);
  EXPECT_THROW(rs->value(Variant(0)), AutomationError);
  call(*rs, u"MoveNext");
  EXPECT_EQ(toInt32(rs->value(Variant(0))), 1);
  call(*rs, u"Move", {Variant(2)});
  EXPECT_EQ(toInt32(rs->value(Variant(0))), 3);
  call(*rs, u"Move", {Variant(1)});
  EXPECT_TRUE(rs->eof());
  EXPECT_EQ(toInt32(get(*rs, u"AbsolutePosition")), -3);
  call(*rs, u"Move", {Variant(-2)});
  EXPECT_EQ(toInt32(rs->value(Variant(0))), 2);
  put(*rs, u"AbsolutePosition", {Variant(1)});
  EXPECT_EQ(toInt32(rs->value(Variant(0))), 1);

  auto forward = open(u"select id from staff", adOpenForwardOnly);
  EXPECT_THROW(forward->MovePrevious(), AutomationError);
}

TEST_P(RecordsetTest, GetRowsGivesFieldsByRowsAndGetStringJoinsThem) {
  auto rs = open(u"select id, name, note from staff order by id");
  call(*rs, u"MoveNext");
  Variant rows = call(*rs, u"GetRows");
  EXPECT_EQ(rows.arrayBounds(), (std::vector<automation::ArrayBound>{{0, 3}, {0, 2}}));
  const auto& cells = rows.array();
  EXPECT_EQ(toInt32(cells[0]), 2);       // (0, 0)
  EXPECT_EQ(toText(cells[1]), u"Li");    // (1, 0)
  EXPECT_EQ(toText(cells[4]), u"Zhao");  // (1, 1)
  EXPECT_TRUE(cells[5].isNull());        // (2, 1)
  EXPECT_TRUE(rs->eof());
  EXPECT_THROW(call(*rs, u"GetRows"), AutomationError);

  rs->MoveFirst();
  Variant some = call(*rs, u"GetRows", {Variant(1), Variant::missing(), Variant(u"name")});
  EXPECT_EQ(some.arrayBounds(), (std::vector<automation::ArrayBound>{{0, 1}, {0, 1}}));
  EXPECT_EQ(toText(some.array()[0]), u"Wang");
  Variant text = call(*rs, u"GetString",
                      {Variant(2), Variant(-1), Variant(u","), Variant(u";"), Variant(u"-")});
  EXPECT_EQ(toText(text), u"2,Li,x;3,Zhao,-;");
}

TEST_P(RecordsetTest, AddNewInsertsAndReadsTheNewKeyBack) {
  auto rs = openFor(u"select * from staff where 1=0", adLockOptimistic);
  call(*rs, u"AddNew");
  put(*rs, u"", {Variant(u"name"), Variant(u"O'Brien; drop table staff")});
  put(*get(*rs, u"Fields", {Variant(u"born")}).object(), u"Value",
      {Variant(automation::Date::fromParts(1999, 12, 31))});
  EXPECT_EQ(toInt32(get(*rs, u"EditMode")), 2);
  call(*rs, u"Update");
  EXPECT_EQ(toInt32(rs->value(Variant(u"id"))), 4);  // the key the database gave
  EXPECT_EQ(toText(rs->value(Variant(u"name"))), u"O'Brien; drop table staff");
  auto check = open(u"select name, born from staff where id = 4");
  EXPECT_EQ(toText(check->value(Variant(0))), u"O'Brien; drop table staff");
  EXPECT_EQ(automation::toDate(check->value(Variant(1))).text(), u"1999-12-31");
  EXPECT_EQ(column(u"select count(*) as n from staff", u"n"), std::vector<Text>{u"4"});

  // AddNew(fields, values) in one call.
  call(*rs, u"AddNew",
       {Variant(Variant::Array{Variant(u"id"), Variant(u"name")}),
        Variant(Variant::Array{Variant(10), Variant(u"Ten")})});
  call(*rs, u"Update");
  EXPECT_EQ(column(u"select name from staff where id = 10", u"name"), std::vector<Text>{u"Ten"});
}

TEST_P(RecordsetTest, UpdateWritesTheEditedColumnsOfTheCurrentRow) {
  auto rs = openFor(u"select id, name, note from staff order by id", adLockPessimistic);
  rs->MoveNext();
  Variant note = get(*rs, u"Fields", {Variant(u"note")});
  put(*note.object(), u"Value", {Variant(u"changed")});
  EXPECT_EQ(toText(get(*note.object(), u"OriginalValue")), u"x");
  EXPECT_EQ(toText(note), u"changed");
  rs->MoveNext();  // a move writes pending edits
  EXPECT_EQ(column(u"select note from staff where id = 2", u"note"), std::vector<Text>{u"changed"});
  put(*rs, u"", {Variant(u"name"), Variant(u"Zhou")});
  call(*rs, u"CancelUpdate");
  EXPECT_EQ(toText(rs->value(Variant(u"name"))), u"Zhao");
  EXPECT_EQ(column(u"select name from staff where id = 3", u"name"), std::vector<Text>{u"Zhao"});
}

TEST_P(RecordsetTest, DeleteRemovesTheCurrentRowOnly) {
  auto rs = openFor(u"select id, name from staff order by id", adLockOptimistic);
  rs->MoveNext();
  call(*rs, u"Delete");
  EXPECT_THROW(rs->value(Variant(0)), AutomationError);  // deleted until the next move
  EXPECT_EQ(column(u"select id from staff order by id", u"id"), (std::vector<Text>{u"1", u"3"}));
}

TEST_P(RecordsetTest, ReadOnlyAndJoinedRecordsetsRefuseWrites) {
  auto readOnly = open(u"select * from staff");
  EXPECT_EQ(code(errorOf([&] { call(*readOnly, u"AddNew"); })), 0x800A0CB3u);
  auto joined = openFor(u"select a.id from staff a, staff b where a.id = b.id", adLockOptimistic);
  EXPECT_EQ(code(errorOf([&] { joined->AddNew(); })), 0x800A0CB3u);
}

TEST_P(RecordsetTest, TablesWithoutKeysFindRowsByEveryValue) {
  run(u"create table tags(tag varchar(10), weight int)");
  run(u"insert into tags values('a', 1)");
  run(u"insert into tags values('b', null)");
  auto rs = openFor(u"select tag, weight from tags order by tag", adLockOptimistic);
  rs->MoveNext();
  put(*rs, u"", {Variant(u"weight"), Variant(5)});
  rs->Update();
  EXPECT_EQ(column(u"select weight from tags order by tag", u"weight"),
            (std::vector<Text>{u"1", u"5"}));
}

TEST_P(RecordsetTest, ErrorsOfTheConnectionListTheLastFailure) {
  auto errors = conn_->Errors();
  EXPECT_EQ(errors->Count(), 0);
  EXPECT_THROW(conn_->Execute(u"select * from nowhere"), AutomationError);
  ASSERT_EQ(errors->Count(), 1);
  Variant first = get(*errors, u"", {Variant(0)});
  EXPECT_EQ(static_cast<std::uint32_t>(toInt32(get(*first.object(), u"Number"))), kProviderError);
  EXPECT_FALSE(toText(get(*first.object(), u"Description")).empty());
  call(*errors, u"Clear");
  EXPECT_EQ(errors->Count(), 0);
}

TEST_P(RecordsetTest, ExecuteReportsTheRecordsAffected) {
  std::vector<Variant> args{Variant(u"update staff set note = 'n' where id > 1"), Variant()};
  conn_->invoke(u"Execute", InvokeKind::Method, automation::Args(args));
  EXPECT_EQ(toInt32(args[1]), 2);
}

INSTANTIATE_TEST_SUITE_P(Providers, RecordsetTest, ::testing::ValuesIn(kTargets), targetName);

}  // namespace
}  // namespace ado
