#include "output/template_library.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "base/app_info.h"

using namespace Qt::StringLiterals;

namespace {

// The shipped presets, in the order the lists show them.
const QStringList kPresetFiles = {
    u"m3u8_relativas"_s, u"m3u8_absolutas"_s, u"xspf"_s,     u"pls"_s,
    u"html_por_disco"_s, u"caratula_cd"_s,    u"markdown"_s, u"texto_con_totales"_s};

// A template file is small; anything larger is not one and is not read whole.
constexpr qint64 kMaxTemplateBytes = 1 << 20;

QString presetPath(const QString& file) {
  return u":/templates/"_s + file + QString::fromUtf16(kTemplateFileSuffix);
}

std::optional<TemplateEntry> entryNamed(const QString& name) {
  for (const TemplateEntry& entry : availableTemplates()) {
    if (entry.name == name) {
      return entry;
    }
  }
  return std::nullopt;
}

}  // namespace

QString userTemplatesDir() {
  return QFileInfo(UserConfigIniPath()).absolutePath() + u"/plantillas"_s;
}

std::optional<ExportTemplate> readTemplateFile(const QString& path, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = u"no se puede leer la plantilla %1: %2"_s.arg(path, file.errorString());
    return std::nullopt;
  }
  if (file.size() > kMaxTemplateBytes) {
    error = u"la plantilla %1 es demasiado grande para ser una plantilla"_s.arg(path);
    return std::nullopt;
  }
  QString reason;
  std::optional<ExportTemplate> tmpl =
      parseExportTemplate(QString::fromUtf8(file.readAll()), reason);
  if (!tmpl) {
    error = u"plantilla %1, %2"_s.arg(path, reason);
  }
  return tmpl;
}

std::vector<TemplateEntry> availableTemplates() {
  std::vector<TemplateEntry> entries;
  for (const QString& file : kPresetFiles) {
    QString error;
    if (const std::optional<ExportTemplate> tmpl = readTemplateFile(presetPath(file), error)) {
      entries.push_back({tmpl->name, true, presetPath(file), *tmpl});
    }
  }
  const QDir dir(userTemplatesDir());
  std::vector<TemplateEntry> user;
  for (const QFileInfo& info :
       dir.entryInfoList({u"*"_s + QString::fromUtf16(kTemplateFileSuffix)}, QDir::Files)) {
    QString error;
    if (const std::optional<ExportTemplate> tmpl =
            readTemplateFile(info.absoluteFilePath(), error)) {
      user.push_back({tmpl->name, false, info.absoluteFilePath(), *tmpl});
    }
  }
  std::sort(user.begin(), user.end(), [](const TemplateEntry& a, const TemplateEntry& b) {
    return QString::localeAwareCompare(a.name, b.name) < 0;
  });
  entries.insert(entries.end(), user.begin(), user.end());
  return entries;
}

std::optional<ExportTemplate> findTemplate(const QString& nameOrFile, QString& error) {
  if (std::optional<TemplateEntry> entry = entryNamed(nameOrFile)) {
    return std::move(entry->tmpl);
  }
  if (!QFileInfo(nameOrFile).isFile()) {
    error = u"no hay ninguna plantilla «%1» (véase «quillet templates»)"_s.arg(nameOrFile);
    return std::nullopt;
  }
  return readTemplateFile(nameOrFile, error);
}

std::optional<CompiledTemplate> compileTemplateNamed(const QString& nameOrFile, QString& error,
                                                     QStringList& warnings) {
  const std::optional<ExportTemplate> tmpl = findTemplate(nameOrFile, error);
  return tmpl ? CompiledTemplate::compile(*tmpl, &findTemplate, error, warnings) : std::nullopt;
}
