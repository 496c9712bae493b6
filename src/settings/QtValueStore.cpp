#include "settings/QtValueStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>

#ifndef Q_OS_WIN
#include "storage/SafeFile.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Makes the configuration file safe for QSettings, which reads through a link and replaces the
// file a link leads to, wherever that is; or says why the file is not to be used.
std::optional<std::string> PrepareFile(const std::string& file) {
    const auto slash = file.find_last_of('/');
    const std::string dir = file.substr(0, slash == std::string::npos ? 0 : slash);
    const std::string keptForThisRun = "Settings are kept for this run only: ";
    // Another user who may change the folder could swap a link in after any check made here.
    struct stat st {};
    if (!dir.empty() && ::stat(dir.c_str(), &st) == 0) {
        if (st.st_uid != ::geteuid())
            return keptForThisRun + "the folder \"" + dir + "\" belongs to another user.";
        if ((st.st_mode & S_IWOTH) && !(st.st_mode & S_ISVTX))
            return keptForThisRun + "other users may change the folder \"" + dir + "\".";
    }
    if (::lstat(file.c_str(), &st) != 0) return std::nullopt; // a new file
    std::string problem;
    const auto bytes = ReadFileBytes(file, &problem);
    if (!bytes && !problem.empty()) return keptForThisRun + problem + ".";
    if (S_ISLNK(st.st_mode)) {
        // What the link led to becomes the store's own file; a link leading nowhere just goes.
        if (!bytes) {
            ::unlink(file.c_str());
        } else if (auto failure = SaveText(file, *bytes, false).failure) {
            return keptForThisRun + *failure;
        }
    }
    return std::nullopt;
}

} // namespace
#endif

QtValueStore::QtValueStore() {
#ifdef Q_OS_WIN
    settings_ = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Ovrin\\Meridot\\1.0"), QSettings::NativeFormat);
    location_ = settings_->fileName().toStdString();
#else
    // The user's own file only: QSettings would read other files besides (system-wide ones, a
    // file per organisation), each a place where a FIFO could stop the program.
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Ovrin/Meridot.conf");
    location_ = file.toStdString();
    problem_ = PrepareFile(location_);
    if (problem_) return;
    settings_ = std::make_unique<QSettings>(file, QSettings::IniFormat);
    settings_->beginGroup(QStringLiteral("1.0"));
#endif
}

QtValueStore::~QtValueStore() = default;

std::optional<std::string> QtValueStore::Read(const std::string& name) const {
    if (!settings_) {
        const auto found = thisRun_.find(name);
        if (found == thisRun_.end()) return std::nullopt;
        return found->second;
    }
    const QString key = QString::fromStdString(name);
    if (!settings_->contains(key)) return std::nullopt;
    return settings_->value(key).toString().toStdString();
}

void QtValueStore::Write(const std::string& name, const std::string& value) {
    if (!settings_) {
        thisRun_[name] = value;
        return;
    }
    settings_->setValue(QString::fromStdString(name), QString::fromStdString(value));
    // Written through at once: the program may end without returning to an event loop.
    settings_->sync();
}

std::string QtValueStore::Location() const {
    return location_;
}
