// The value store in the Windows registry without Qt, for korbcalc-cli. It keeps values in the form
// the windows program's QSettings store gives them, so that both share one key: each value a
// REG_SZ string, one that begins with "@" written with a second "@" in front.
#pragma once

#include <string>
#include <utility>

#include "settings/ValueStore.h"

// The key of the windows program's values, under HKEY_CURRENT_USER.
inline constexpr const char* MeridotRegistryKey = "SOFTWARE\\Ovrin\\Meridot\\1.0";

class RegistryValueStore : public ValueStore {
public:
    // key: a path under HKEY_CURRENT_USER; created at the first write.
    explicit RegistryValueStore(std::string key) : key_(std::move(key)) {}

    // Strings as they are; numbers (REG_DWORD, REG_QWORD) as decimal text; other kinds are absent.
    std::optional<std::string> Read(const std::string& name) const override;
    void Write(const std::string& name, const std::string& value) override;

private:
    std::string key_;
};
