#pragma once

#include <QString>

// The per-user settings store of application "Quillet": text values by section and key.
// On Linux it is QSettings' file under $XDG_CONFIG_HOME/Quillet/.

/** The stored value, or defaultValue when the key is absent (an empty value is not absent). */
QString GetSetting(const QString& section, const QString& key, const QString& defaultValue);

void SaveSetting(const QString& section, const QString& key, const QString& value);
