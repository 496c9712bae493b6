#include "settings/QtValueStore.h"

#include <QSettings>
#include <QString>

QtValueStore::QtValueStore() {
#ifdef Q_OS_WIN
    settings_ = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Ovrin\\Meridot\\1.0"), QSettings::NativeFormat);
#else
    settings_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Ovrin"), QStringLiteral("Meridot"));
    settings_->beginGroup(QStringLiteral("1.0"));
#endif
}

QtValueStore::~QtValueStore() = default;

std::optional<std::string> QtValueStore::Read(const std::string& name) const {
    const QString key = QString::fromStdString(name);
    if (!settings_->contains(key)) return std::nullopt;
    return settings_->value(key).toString().toStdString();
}

void QtValueStore::Write(const std::string& name, const std::string& value) {
    settings_->setValue(QString::fromStdString(name), QString::fromStdString(value));
    // Written through at once: the program may end without returning to an event loop.
    settings_->sync();
}

std::string QtValueStore::Location() const {
    return settings_->fileName().toStdString();
}
