// The value store on QSettings: the registry key on Windows, a per-user configuration file elsewhere.
#pragma once

#include "settings/ValueStore.h"

#include <memory>

class QSettings;

class QtValueStore : public ValueStore {
public:
    // HKEY_CURRENT_USER\SOFTWARE\Ovrin\Meridot\1.0 on Windows; elsewhere the user's configuration
    // file of organisation "Ovrin", application "Meridot", group "1.0".
    QtValueStore();
    ~QtValueStore() override;
    QtValueStore(const QtValueStore&) = delete;
    QtValueStore& operator=(const QtValueStore&) = delete;

    std::optional<std::string> Read(const std::string& name) const override;
    void Write(const std::string& name, const std::string& value) override;

    // Where the values live (registry path or file name).
    std::string Location() const;

private:
    std::unique_ptr<QSettings> settings_;
};
