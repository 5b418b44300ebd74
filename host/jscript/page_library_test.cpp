// The page library as classic pages use it: Enumerator, VBArray, getVarDate, JScript's Error
// with number and description, and script objects kept in the session between requests.
#include "jscript/page_library.h"

#include <gtest/gtest.h>

#include "test_site.h"

namespace host::jscript {
namespace {

using host::HttpReply;
using host_test::Client;
using host_test::TestSite;

std::string body(TestSite& site, const std::string& source) {
  HttpReply r = site.page(source);
  EXPECT_FALSE(r.failure) << failureSummary(*r.failure);
  return r.body;
}

TEST(PageLibrary, EnumeratorVisitsAnyCollection) {
  TestSite site;
  EXPECT_EQ(
      body(site,
           "<% var p = Server.CreateObject('test.Probe'), seen = [];\n"
           "for (var e = new Enumerator(p.Bag); !e.atEnd(); e.moveNext()) seen.push(e.item());\n"
           "var again = new Enumerator(p.Bag()); again.moveNext(); again.moveNext();\n"
           "again.moveNext(); again.moveNext(); var end = again.item(); again.moveFirst();\n"
           "var arrays = []; for (var a = new Enumerator([4, 5]); !a.atEnd(); a.moveNext()) "
           "arrays.push(a.item()); %>"
           "<%= seen.join(',') %> <%= typeof end %> <%= again.item() %> <%= arrays.join(',') %>"
           " <%= new Enumerator().atEnd() %>"),
      "a,b,3 undefined a 4,5 True");
  HttpReply notACollection = site.page("<% new Enumerator(Server.CreateObject('test.Plain')); %>");
  ASSERT_TRUE(notACollection.failure);
  EXPECT_EQ(notACollection.failure->code, static_cast<automation::HRESULT>(0x800A01B6));
}

TEST(PageLibrary, VBArrayReadsVariantArrays) {
  TestSite site;
  EXPECT_EQ(body(site,
                 "<% var v = new VBArray(Server.CreateObject('test.Probe').Make('array')); %>"
                 "<%= v.dimensions() %> <%= v.lbound() %> <%= v.ubound(1) %> <%= v.getItem(1) %> "
                 "<%= v.toArray().join('|') %> "
                 "<% try { v.getItem(2); } catch (e) { Response.Write(e.number + ' ' + "
                 "e.description); } %>"),
            "1 0 1 b 1|b -2146828279 Subscript out of range");
  EXPECT_EQ(
      body(site,
           "<% var p = Server.CreateObject('test.Probe'), m = p.Make('matrix');\n"
           "var v = new VBArray(m); %>"
           "<%= v.dimensions() %> <%= v.ubound(1) %> <%= v.ubound(2) %> <%= v.getItem(1, 2) %> "
           "<%= v.getItem(0, 1) %> <%= v.toArray().join('') %> <%= p.TypeOf(m) %>"),
      "2 1 2 c 2 1a2b3c 8204");
}

TEST(PageLibrary, GetVarDateGivesADateValue) {
  TestSite site;
  EXPECT_EQ(
      body(site,
           "<% var p = Server.CreateObject('test.Probe'); var d = new Date(2021, 4, 6, 7, 8, 9); %>"
           "<%= p.TypeOf(d.getVarDate()) %> <%= p.Echo(d.getVarDate()) %>"),
      "7 2021-05-06 07:08:09");
}

TEST(PageLibrary, ErrorsCarryNumberAndDescription) {
  TestSite site;
  EXPECT_EQ(
      body(site,
           "<% function show(e) { Response.Write(e.number + '/' + e.description + '/' + "
           "e.message + '/' + (e instanceof Error) + ';'); }\n"
           "try { null.x; } catch (e) { Response.Write(e.number + ';'); }\n"
           "try { undefinedName; } catch (e) { Response.Write((e.number >>> 0).toString(16) + "
           "';'); }\n"
           "try { throw new Error(-2147467259, 'own'); } catch (e) { show(e); }\n"
           "try { throw new Error('message'); } catch (e) { show(e); }\n"
           "try { throw Error(5); } catch (e) { show(e); } %>"),
      "-2146827850;800a1391;-2147467259/own/own/true;0/message/message/true;5///true;");
  HttpReply thrown = site.page("a\n<% throw new Error(-2147221503, 'mine'); %>");
  ASSERT_TRUE(thrown.failure);
  EXPECT_EQ(failureSummary(*thrown.failure), "error 80040001: mine (t.asp:2)");
}

TEST(PageLibrary, ScriptObjectsAndArraysStayObjectsInTheSession) {
  TestSite site;
  Client client(site);
  site.write("put.asp",
             "<% Session('cart') = [1, 'two', {n: 3}, [true]];\n"
             "Session('user') = {name: '张', when: new Date(2020, 0, 2), skip: function () {}};\n"
             "Application('list') = ['x']; %>");
  site.write("get.asp",
             "<% var c = Session('cart'), u = Session('user'); %>"
             "<%= Array.isArray(c) %> <%= c.length %> <%= c[1] %> <%= c[2].n %> <%= c[3][0] %> "
             "<%= u.name %> <%= u.when.getFullYear() %> <%= typeof u.skip %> "
             "<%= Application('list')[0] %> <%= Session('cart') %> <%= Session('user') %>");
  EXPECT_FALSE(client.run("put.asp").failure);
  HttpReply r = client.run("get.asp");
  EXPECT_FALSE(r.failure) << failureSummary(*r.failure);
  EXPECT_EQ(r.body,
            "True 4 two 3 True 张 2020 undefined x 1,two,[object Object],true [object Object]");
  EXPECT_EQ(body(site, "<% var o = {}; o.self = o; Response.Write([o]); Session('o') = o; %>"),
            "[object Object]");
}

}  // namespace
}  // namespace host::jscript
