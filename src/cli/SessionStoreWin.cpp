#include "cli/SessionStore.h"

#include <cstdlib>

#include "settings/RegistryValueStore.h"

std::unique_ptr<ValueStore> OpenSessionStore(std::string&) {
    // KORBCALC_REGISTRY_KEY puts the values under another key of HKEY_CURRENT_USER, as
    // XDG_CONFIG_HOME moves them elsewhere: the tests keep the user's own values out of reach so.
    const char* other = std::getenv("KORBCALC_REGISTRY_KEY");
    return std::make_unique<RegistryValueStore>(other && *other ? other : MeridotRegistryKey);
}
