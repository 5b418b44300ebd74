// The ODBC provider against a driver that runs a statement and then cannot describe its
// result (failing_odbc_driver.cpp): the error reaches the caller and the statement handle goes
// back to the driver, whatever the provider was doing with it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "ado/ado.h"
#include "automation/error.h"

namespace ado {
namespace {

TEST(OdbcProvider, AReaderThatCannotStartFreesItsStatement) {
  void* driver = dlopen(FAILING_ODBC_DRIVER, RTLD_NOW);
  ASSERT_NE(driver, nullptr) << dlerror();
  auto liveStatements =
      reinterpret_cast<int (*)()>(dlsym(driver, "failing_driver_live_statements"));
  ASSERT_NE(liveStatements, nullptr);

  auto conn = std::make_shared<Connection>();
  conn->Open(automation::fromUtf8(std::string("Driver=") + FAILING_ODBC_DRIVER + ";"));
  for (int i = 0; i < 3; ++i) {
    try {
      conn->Execute(u"select 1");
      ADD_FAILURE() << "the driver's failure was not raised";
    } catch (const automation::AutomationError& e) {
      EXPECT_NE(e.description().find(u"Communication link failure"), automation::Text::npos)
          << automation::toUtf8(e.description());
    }
    EXPECT_EQ(liveStatements(), 0);
  }
  conn->Close();
  dlclose(driver);
}

}  // namespace
}  // namespace ado
