#include "base/ini_reader.h"

#include <QFile>
#include <QStringDecoder>

#include "platform/ansi_codec.h"

namespace {

constexpr qsizetype kBufferSize = 750;

// INI files edited on Linux are UTF-8; older ones are in the 8-bit code page.
QString decodeIniText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8.decode(bytes);
  return utf8.hasError() ? decodeAnsi(bytes) : text;
}

QString withoutSurroundingQuotes(const QString& value) {
  if (value.size() >= 2) {
    const QChar first = value.front();
    if ((first == u'"' || first == u'\'') && value.back() == first) {
      return value.mid(1, value.size() - 2);
    }
  }
  return value;
}

bool isSectionHeader(QStringView line) {
  return line.startsWith(u'[') && line.contains(u']');
}

QStringView sectionName(QStringView line) {
  return line.mid(1, line.indexOf(u']') - 1).trimmed();
}

}  // namespace

QString ReadIni(const QString& section, const QString& key, const QString& iniPath) {
  return ReadIniEntry(section, key, iniPath).value_or(QString());
}

std::optional<QString> ReadIniEntry(const QString& section, const QString& key,
                                    const QString& iniPath) {
  QFile file(iniPath);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  const QString text = decodeIniText(file.readAll());
  const QString wantedKey = key.toLower();
  bool inSection = false;
  for (QStringView line : QStringView(text).split(u'\n')) {
    line = line.trimmed();
    if (isSectionHeader(line)) {
      inSection = sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection || line.startsWith(u';')) {
      continue;
    }
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0 || line.left(eq).trimmed().compare(wantedKey, Qt::CaseInsensitive) != 0) {
      continue;
    }
    const QString value = withoutSurroundingQuotes(line.mid(eq + 1).trimmed().toString());
    return value.left(kBufferSize - 1);
  }
  return std::nullopt;
}
