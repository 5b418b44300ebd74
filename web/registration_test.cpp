#include "registration.h"

#include <gtest/gtest.h>

#include "automation/error.h"
#include "frame/class_ids.h"

namespace balance {
namespace {

TEST(Registration, RegistersTheTypeLibraryAndCreatableClasses) {
  automation::ClassRegistry registry;
  registerBalanceClasses(registry);
  ASSERT_EQ(registry.typeLibraries().size(), 1u);
  EXPECT_EQ(registry.typeLibraries()[0].name, u"balance");
  EXPECT_EQ(registry.typeLibraries()[0].guid, u"{103E74AE-B907-42B4-89B2-78FA5A63D531}");
  for (const auto* id : {&frame::kDNA, &frame::kAspHttp, &frame::kScheduler, &frame::kPermission,
                         &frame::kSystemInit}) {
    auto byProgId = registry.create(id->progId);
    auto byClsid = registry.create(id->clsid);
    ASSERT_NE(byProgId, nullptr);
    ASSERT_NE(byClsid, nullptr);
    EXPECT_NE(byProgId, byClsid);  // a new instance each time
    EXPECT_EQ(byProgId->typeInfo().name(), id->interfaceName);
    EXPECT_EQ(byProgId->typeInfo().iid(), id->iid);
  }
  EXPECT_TRUE(registry.create(u"balance.aspHttp")->typeInfo().members().empty());
  try {
    registry.create(u"balance.Nothing");
    FAIL();
  } catch (const automation::AutomationError& e) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.code()), 0x800401F3u);
  }
}

}  // namespace
}  // namespace balance
