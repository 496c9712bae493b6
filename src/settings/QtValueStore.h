// The value store on QSettings: the registry key on Windows, a per-user configuration file elsewhere.
#pragma once

#include "settings/ValueStore.h"

#include <map>
#include <memory>

class QSettings;

class QtValueStore : public ValueStore {
public:
    // HKEY_CURRENT_USER\SOFTWARE\Ovrin\Meridot\1.0 on Windows; elsewhere the user's configuration
    // file Ovrin/Meridot.conf, group "1.0". A symbolic link there is read once and replaced by a
    // regular file, so that the store never writes outside its own folder. A file that cannot
    // safely be used (a FIFO, a device, a directory, a huge file, or a folder other users can
    // change) is left alone: the values then live for this run only, and Problem() says why.
    QtValueStore();
    ~QtValueStore() override;
    QtValueStore(const QtValueStore&) = delete;
    QtValueStore& operator=(const QtValueStore&) = delete;

    std::optional<std::string> Read(const std::string& name) const override;
    void Write(const std::string& name, const std::string& value) override;
    std::optional<std::string> Problem() const override { return problem_; }

    // Where the values live (registry path or file name).
    std::string Location() const;

private:
    std::unique_ptr<QSettings> settings_; // none when the file is not used
    std::map<std::string, std::string> thisRun_;
    std::string location_;
    std::optional<std::string> problem_;
};
