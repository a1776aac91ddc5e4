#pragma once

#include <QString>

// The per-user settings store (application, section, key), kept in an ini file under the user's
// configuration folder. Tests point it at a folder of their own.
class SettingsStore {
public:
    static QString GetSetting(const QString& appName, const QString& section, const QString& key,
                              const QString& defaultValue = QString());
    static void SaveSetting(const QString& appName, const QString& section, const QString& key,
                            const QString& value);
    static void SetRootFolder(const QString& folder);
};
