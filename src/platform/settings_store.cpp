#include "platform/settings_store.h"

#include <QSettings>

using namespace Qt::StringLiterals;

namespace {

QSettings store() {
  return QSettings(u"Quillet"_s, u"Quillet"_s);
}

QString settingKey(const QString& section, const QString& key) {
  return section + u'/' + key;
}

}  // namespace

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue) {
  return store().value(settingKey(section, key), defaultValue).toString();
}

void SaveSetting(const QString& section, const QString& key, const QString& value) {
  QSettings settings = store();
  settings.setValue(settingKey(section, key), value);
  settings.sync();
}
