// balance.Password as pages reach it: created by ProgID, called by member name.
#include "password_object.h"

#include <gtest/gtest.h>

namespace host {
namespace {

using automation::InvokeKind;
using automation::Text;
using automation::toBool;
using automation::toText;
using automation::Variant;

class PasswordTest : public ::testing::Test {
 protected:
  PasswordTest() {
    registerPasswordClass(registry);
    object = registry.create(u"BALANCE.password");
  }
  Text hash(Text pw) { return toText(object->invoke(u"Hash", InvokeKind::Method, {Variant(pw)})); }
  bool verify(Text pw, Text stored) {
    return toBool(object->invoke(u"verify", InvokeKind::Method, {Variant(pw), Variant(stored)}));
  }

  automation::ClassRegistry registry;
  automation::ObjectRef object;
};

TEST_F(PasswordTest, HashIsSaltedArgon2idThatVerifiesOnlyItsPassword) {
  Text first = hash(u"balance");
  Text second = hash(u"balance");
  EXPECT_TRUE(first.starts_with(u"$argon2id$v=19$")) << automation::toUtf8(first);
  EXPECT_EQ(first.find(u"balance"), Text::npos);
  EXPECT_NE(first, second);  // a fresh salt every time
  EXPECT_TRUE(verify(u"balance", first));
  EXPECT_TRUE(verify(u"balance", second));
  EXPECT_FALSE(verify(u"Balance", first));
  EXPECT_FALSE(verify(u"balance ", first));
  EXPECT_FALSE(verify(u"", first));
}

TEST_F(PasswordTest, NonAsciiPasswordsRoundTrip) {
  Text stored = hash(u"密码1234");
  EXPECT_TRUE(verify(u"密码1234", stored));
  EXPECT_FALSE(verify(u"密码123", stored));
}

TEST_F(PasswordTest, StoredValuesThatAreNoHashNeverMatch) {
  EXPECT_FALSE(verify(u"", u""));
  EXPECT_FALSE(verify(u"balance", u"balance"));  // a plain-text column is not a hash
  EXPECT_FALSE(verify(u"balance", u"$argon2i$v=19$m=4096,t=3,p=1$c2FsdA$aGFzaA"));
  Text stored = hash(u"balance");
  stored.back() = stored.back() == u'A' ? u'B' : u'A';  // a damaged hash
  EXPECT_FALSE(verify(u"balance", stored));
}

}  // namespace
}  // namespace host
