// Identity of the type library and of its five classes, as registered with COM.
#pragma once

#include "automation/text.h"

namespace frame {

struct ClassId {
  const char16_t* name;    // "DNA"
  const char16_t* progId;  // "balance.DNA"
  const char16_t* clsid;
  const char16_t* interfaceName;
  const char16_t* iid;
};

inline constexpr const char16_t* kTypeLibraryName = u"balance";
inline constexpr const char16_t* kTypeLibraryGuid = u"{103E74AE-B907-42B4-89B2-78FA5A63D531}";

inline constexpr ClassId kDNA{u"DNA", u"balance.DNA", u"{EAB29593-9DE1-41EB-B481-708F425344A5}",
                              u"_DNA", u"{5D09A460-4161-495C-BD92-B65003C43635}"};
inline constexpr ClassId kAspHttp{u"aspHttp", u"balance.aspHttp",
                                  u"{D9A09344-E9E5-42C0-9F54-AB9C93D40186}", u"_aspHttp",
                                  u"{2D21CB8D-F87B-4A4B-AF8F-3F987CD01D57}"};
inline constexpr ClassId kScheduler{u"scheduler", u"balance.scheduler",
                                    u"{219488BB-443E-45C6-8794-6DEC25A5921F}", u"_scheduler",
                                    u"{A7EB1FAF-F06D-4D97-8221-502B9B55C1C3}"};
inline constexpr ClassId kPermission{u"Permission", u"balance.Permission",
                                     u"{CC80CF41-6EB7-401C-94CE-EA80508C1FAB}", u"_Permission",
                                     u"{C102AD68-952F-4F2C-AD4A-104C630D343B}"};
inline constexpr ClassId kSystemInit{u"SystemInit", u"balance.SystemInit",
                                     u"{3F4F3461-BE35-4BA8-B320-37E41DB10371}", u"_SystemInit",
                                     u"{424A8184-EC49-4749-873C-02170EE6DE50}"};

}  // namespace frame
