#include "dna_fixture.h"

namespace dna_test {
namespace {

Text text(const Variant& v) { return automation::joinText(v); }

auto listStatement = [](dna::DNA& d) {
  ado::Recordset rs;
  d.GetList(rs);
  rs.Close();
};

// Clicks on the sort links, one request each, in one session.
TEST(RequestState, SortToggling) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  struct Step {
    const char* query;
    const char16_t* order;
    const char16_t* order2;
    const char16_t* sql;
  };
  const Step steps[] = {
      {"", u"", u"", u"select id,name,dept,kind from person "},
      {"action=list&page=1&order=name", u"name", u"",
       u"select id,name,dept,kind from person  order by name"},
      {"action=list&page=1&order=name", u"name DESC ", u"",
       u"select id,name,dept,kind from person  order by name DESC "},
      {"action=list&page=1&order=name", u"name", u"",
       u"select id,name,dept,kind from person  order by name"},
      {"action=list&page=1&order=dept", u"dept", u"name",
       u"select id,name,dept,kind from person  order by dept,name"},
      {"action=list&page=1&order=dept", u"dept DESC ", u"name",
       u"select id,name,dept,kind from person  order by dept DESC ,name"},
      {"action=list&page=1&order=kind", u"kind", u"dept DESC ",
       u"select id,name,dept,kind from person  order by kind,dept DESC "},
      // Trimmed for the test, stored as sent.
      {"action=list&page=1&order=%20id%20", u" id ", u"kind",
       u"select id,name,dept,kind from person  order by  id ,kind"},
      {"action=list&page=1&order=name", u"name", u" id ",
       u"select id,name,dept,kind from person  order by name, id "},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.query);
    request(db, session, s.query, listStatement);
    EXPECT_EQ(text(session->get(u"strOrder")), s.order);
    EXPECT_EQ(text(session->get(u"strOrder2")), s.order2);
    EXPECT_EQ(text(session->get(u"strSQL")), s.sql);
  }
}

TEST(RequestState, SeededLowerCaseDescendingGetsDescAppended) {
  FixtureDb db;
  auto session = std::make_shared<asp::Session>();
  session->set(u"strURL", u"/list.asp");
  const Text sql = u"select id,name from person order by name desc,id";
  auto noop = [](dna::DNA&) {};
  request(db, session, "", noop, sql);
  EXPECT_EQ(text(session->get(u"strOrder")), u"name desc");
  request(db, session, "page=1&order=name", noop, sql);
  EXPECT_EQ(text(session->get(u"strOrder")), u"name desc DESC ");
}

// The sort column goes into the statement unquoted: anything but a column of the description
// is ignored, and the stored sort stays as it was.
TEST(RequestState, HostileOrderLeavesSortAndDatabaseAlone) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  request(db, session, "", listStatement);
  request(db, session, "page=1&order=name", listStatement);
  const std::string hostile[] = {"page=1&order=name;delete%20from%20person",
                                 "page=1&order=name%20DESC;drop%20table%20person",
                                 "page=1&order=nam", "page=1&order=(select%201)"};
  for (const auto& q : hostile) {
    SCOPED_TRACE(q);
    request(db, session, q, [](dna::DNA& d) { d.DispList(); });
    EXPECT_EQ(text(session->get(u"strOrder")), u"name");
    EXPECT_EQ(text(session->get(u"strOrder2")), u"");
    EXPECT_EQ(automation::toInt32(db.scalar(u"select count(*) from person")), 5);
  }
}

TEST(RequestState, ArrivingFromAnotherPageResetsSortAndColumns) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  request(db, session, "", listStatement);
  request(db, session, "page=1&order=name&choseItem=name", listStatement);
  EXPECT_EQ(text(session->get(u"strItemChose")), u"name");
  request(db, session, "page=1&order=dept", listStatement);
  EXPECT_EQ(text(session->get(u"strItemChose")), u"name");  // the user's choice stays
  session->set(u"strURL", u"/other.asp");
  request(db, session, "page=1&choseItem=name", listStatement);
  EXPECT_EQ(text(session->get(u"strOrder")), u"");
  EXPECT_EQ(text(session->get(u"strOrder2")), u"");
  EXPECT_EQ(text(session->get(u"strItemChose")), u"id,name,dept,kind");
  EXPECT_EQ(text(session->get(u"strURL")), u"/list.asp");
}

// The chosen columns are kept in the session for every later request of the user: only
// columns of the description are taken, each once; a plain choice is kept as it was sent.
TEST(RequestState, ChosenColumnsAreColumnsOfTheDescriptionOnly) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  request(db, session, "", listStatement);
  const auto choose = [&](const std::string& query) {
    request(db, session, "page=1&" + query, listStatement);
    return text(session->get(u"strItemChose"));
  };
  EXPECT_EQ(choose("choseItem=name&choseItem=kind"), u"name, kind");
  EXPECT_EQ(choose("choseItem=kind,name"), u"kind,name");
  EXPECT_EQ(choose("choseItem=%3Cscript%3Ealert(1)%3C/script%3E,name&choseItem=nobody"), u"name");
  EXPECT_EQ(choose("choseItem=" + std::string(50000, 'x')), u"name");  // nothing taken: kept
  std::string repeated = "choseItem=id";
  for (int i = 0; i < 5000; ++i) repeated += ",id";
  EXPECT_EQ(choose(repeated + ",%20%20%20kind"), u"id, kind");
}

TEST(RequestState, PageAndPageSize) {
  FixtureDb db;
  std::shared_ptr<asp::Session> session;
  session = std::make_shared<asp::Session>();
  session->set(u"strSearch", u"name like '%张%' ");
  {
    DnaPage page("page=2.5&pageSize=-3", session);
    page.open(db);
    EXPECT_EQ(page->nPage, 2);  // halves to even
    EXPECT_EQ(automation::toInt16(page.session(u"nPageSize")), 1);
    EXPECT_EQ(text(page.session(u"strSearch")), u"name like '%张%' ");  // paging keeps it
  }
  {
    DnaPage page("pageSize=0", session);
    page.open(db);
    EXPECT_EQ(page->nPage, 1);
    EXPECT_EQ(automation::toInt16(page.session(u"nPageSize")), 1);
    EXPECT_EQ(text(page.session(u"strSearch")), u"");  // a fresh list drops the search
  }
  {
    DnaPage page("page=3", session);
    page.open(db);
    EXPECT_EQ(automation::toInt16(page.session(u"nPageSize")), 1);  // stays
  }
  auto failure = [&](std::string query) {
    DnaPage page(std::move(query), session);
    try {
      page.open(db);
    } catch (const automation::AutomationError& e) {
      return e.code();
    }
    return automation::HRESULT{0};
  };
  EXPECT_EQ(failure("page=abc"), automation::hr::kTypeMismatch);
  EXPECT_EQ(failure("page=40000"), automation::hr::kOverflow);
  EXPECT_EQ(failure("pageSize=x"), automation::hr::kTypeMismatch);
}

TEST(RequestState, ValuesFormWinsAndApostrophesBecomeGraveAccents) {
  FixtureDb db;
  DnaPage page("action=update&id=7&name=Tom&kind=A", nullptr, u"/person.asp",
               "name=O%27Brien&action=update2");
  page.open(db);
  EXPECT_EQ(page->strAction, u"update2");
  EXPECT_EQ(text(page->nItemKeyValue), u"7");
  EXPECT_EQ(page->strItemKeyName, u"id");
  // The key value is also the value of the first column; the others come from the request.
  page->DebugMode();
  page.take();
  page.open(db, u"select name from person", u"");
  const Text out = page.take();
  EXPECT_NE(out.find(hidden(u"#Res:name=O`Brien<br>\r\n")), Text::npos);
  EXPECT_NE(out.find(hidden(u"#Querystring:action=update&id=7&name=Tom&kind=A<br>\r\n")),
            Text::npos);
  EXPECT_NE(out.find(hidden(u"#TotalSize:29<br>\r\n")), Text::npos);
  EXPECT_NE(out.find(hidden(u"#strURL:/person.asp<br>\r\n")), Text::npos);
}

TEST(RequestState, PageEndStoresTheUrlEvenWhenEmpty) {
  DnaPage page;
  page.end();
  EXPECT_TRUE(page.session(u"strURL").isText());
  EXPECT_EQ(page.session(u"strURL").text(), u"");
}

}  // namespace
}  // namespace dna_test
