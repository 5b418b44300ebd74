// balance.Password: the sign-in pages' password hashing. A password is kept only as a salted
// Argon2id hash in libsodium's text form ($argon2id$v=19$m=…,t=…,p=…$salt$hash), so the cost
// settings travel with every stored hash and can be raised later without losing old ones.
//   Hash(pw)            a new hash with a fresh random salt
//   Verify(pw, stored)  true when pw matches; the comparison runs in constant time, and a stored
//                       value that is no hash (an unknown user, an empty column) costs the same
//                       work as a real check, so the answer's timing tells nothing.
#pragma once

#include "automation/object.h"
#include "automation/registry.h"

namespace host {

class PasswordObject : public automation::Dispatch {
 public:
  const automation::TypeInfo& typeInfo() const override;

  static automation::Text Hash(automation::TextView password);
  static bool Verify(automation::TextView password, automation::TextView stored);
};

// Adds balance.Password to the registry the host creates page objects from.
void registerPasswordClass(automation::ClassRegistry& registry);

}  // namespace host
