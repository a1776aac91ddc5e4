#include "platform/SettingsStore.h"

#include <QSettings>

QString SettingsStore::GetSetting(const QString& appName, const QString& section, const QString& key,
                                  const QString& defaultValue) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Marvane"), appName);
    return s.value(section + '/' + key, defaultValue).toString();
}

void SettingsStore::SaveSetting(const QString& appName, const QString& section, const QString& key,
                                const QString& value) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Marvane"), appName);
    s.setValue(section + '/' + key, value);
    s.sync();
}

void SettingsStore::SetRootFolder(const QString& folder) {
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}
