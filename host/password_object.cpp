// balance.Password on libsodium's crypto_pwhash (Argon2id, interactive limits: about 64 MiB and
// a tenth of a second per hash, a fair price for a sign-in and a steep one for guessing).
#include "password_object.h"

#include <sodium.h>

#include <array>
#include <string>

#include "automation/error.h"

namespace host {
namespace {

using automation::Text;
using automation::TextView;

constexpr TextView kSource = u"balance.Password";
constexpr TextView kIid = u"{5D1C7A60-2B8E-4E51-9F0C-6A3E1B7D4C21}";

void ensureSodium() {
  static const bool ready = sodium_init() >= 0;
  if (!ready) automation::throwProviderError(kSource, u"libsodium could not be initialised.");
}

std::string hashOf(const std::string& password) {
  std::array<char, crypto_pwhash_STRBYTES> out{};
  if (crypto_pwhash_str(out.data(), password.data(), password.size(),
                        crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
    automation::throwProviderError(kSource, u"Out of memory while hashing a password.");
  }
  return out.data();
}

bool isArgon2idHash(const std::string& stored) {
  return stored.size() < crypto_pwhash_STRBYTES &&
         stored.starts_with(crypto_pwhash_argon2id_STRPREFIX);
}

}  // namespace

Text PasswordObject::Hash(TextView password) {
  ensureSodium();
  return automation::fromUtf8(hashOf(automation::toUtf8(password)));
}

bool PasswordObject::Verify(TextView password, TextView stored) {
  ensureSodium();
  const std::string pw = automation::toUtf8(password);
  const std::string hash = automation::toUtf8(stored);
  if (!isArgon2idHash(hash)) {
    hashOf(pw);  // the same work as a real check, then no
    return false;
  }
  return crypto_pwhash_str_verify(hash.c_str(), pw.data(), pw.size()) == 0;
}

const automation::TypeInfo& PasswordObject::typeInfo() const {
  using automation::Args;
  using automation::byVal;
  using automation::toText;
  using automation::Variant;
  static const automation::TypeInfo info =
      automation::MemberTable<PasswordObject>(u"IPassword", Text(kIid))
          .function(u"Hash", {byVal(u"password")},
                    [](PasswordObject&, Args a) { return Variant(Hash(toText(a[0]))); })
          .function(
              u"Verify", {byVal(u"password"), byVal(u"stored")},
              [](PasswordObject&, Args a) { return Variant(Verify(toText(a[0]), toText(a[1]))); })
          .build();
  return info;
}

void registerPasswordClass(automation::ClassRegistry& registry) {
  registry.add({u"balance.Password", u"{0B7E3F52-9C41-4D8A-A6E2-3F5B8C1D7E90}", u"IPassword",
                Text(kIid), [] { return std::make_shared<PasswordObject>(); }});
}

}  // namespace host
