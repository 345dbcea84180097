// System.security: a movie played from a file sits in a local sandbox, with file or network
// access as its file attributes ask; domain permissions have nothing to grant.
#include "StageScripts.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"

namespace mc {

void installSecurity(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::Object* security = avm1::packageObject(m, "System.security");
    m.define(security, "sandboxType",
             avm1::Value(m.str(stage.movie().useNetwork ? "localWithNetwork" : "localWithFile")),
             avm1::attr::DontEnum | avm1::attr::ReadOnly);
    // allowDomain answers whether it was given any domain at all, whatever their type.
    m.defineMethod(security, "allowDomain",
                   [](avm1::CallArgs& c) { return avm1::Value(c.count() > 0); });
    for (const char* name : {"allowInsecureDomain", "loadPolicyFile"}) {
        m.defineMethod(security, name, [](avm1::CallArgs&) { return avm1::Value(); });
    }
}

} // namespace mc
