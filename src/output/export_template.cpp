#include "output/export_template.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const std::array<QString, kTemplatePartCount> kPartKeys = {u"cabecera"_s, u"listado"_s,
                                                           u"directorio"_s, u"archivo"_s, u"pie"_s};
const std::array<QString, 5> kKindKeys = {u"html"_s, u"xml"_s, u"json"_s, u"m3u"_s, u"texto"_s};

// "== archivo ==" names a part; any other line is text.
std::optional<TemplatePart> partMarker(QStringView line) {
  const QStringView trimmed = line.trimmed();
  if (!trimmed.startsWith(u"==") || !trimmed.endsWith(u"==") || trimmed.size() < 5) {
    return std::nullopt;
  }
  const QString key = trimmed.sliced(2, trimmed.size() - 4).trimmed().toString();
  for (int i = 0; i < kTemplatePartCount; ++i) {
    if (kPartKeys[std::size_t(i)] == key) {
      return TemplatePart(i);
    }
  }
  return std::nullopt;
}

QString lineError(int line, const QString& reason) {
  return u"línea %1: %2"_s.arg(line).arg(reason);
}

// One "clave: valor" line of the heading; empty text, or the reason it is not one.
QString readHeadingLine(const QString& line, ExportTemplate& tmpl) {
  const qsizetype colon = line.indexOf(u':');
  if (colon < 0) {
    return u"se esperaba «clave: valor» o «== parte ==»"_s;
  }
  const QString key = line.first(colon).trimmed();
  const QString value = line.sliced(colon + 1).trimmed();
  if (key == u"nombre") {
    tmpl.name = value;
  } else if (key == u"salida") {
    const std::optional<TemplateKind> kind = templateKindFromKey(value);
    if (!kind) {
      return u"salida desconocida: %1 (se admite html, xml, json, m3u o texto)"_s.arg(value);
    }
    tmpl.kind = *kind;
  } else if (key == u"extension") {
    tmpl.extension = value;
  } else if (key == u"codificacion") {
    if (value != u"utf-8" && value != u"opciones") {
      return u"codificación desconocida: %1 (se admite utf-8 u opciones)"_s.arg(value);
    }
    tmpl.optionsEncoding = value == u"opciones";
  } else {
    return u"clave desconocida: %1"_s.arg(key);
  }
  return {};
}

}  // namespace

QString templatePartKey(TemplatePart part) {
  return kPartKeys[static_cast<std::size_t>(part)];
}

QString templateKindKey(TemplateKind kind) {
  return kKindKeys[static_cast<std::size_t>(kind)];
}

std::optional<TemplateKind> templateKindFromKey(const QString& key) {
  for (std::size_t i = 0; i < kKindKeys.size(); ++i) {
    if (kKindKeys[i] == key) {
      return TemplateKind(i);
    }
  }
  return std::nullopt;
}

std::optional<ExportTemplate> parseExportTemplate(const QString& text, QString& error) {
  ExportTemplate tmpl;
  QString* body = nullptr;
  const QStringList lines = QString(text).remove(u'\r').split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString& line = lines[i];
    const bool last = i == lines.size() - 1;
    if (const std::optional<TemplatePart> part = partMarker(line)) {
      body = &tmpl.part(*part);
      body->clear();
    } else if (body) {
      // The file's last line break ends the last line; it does not open an empty one.
      if (!last || !line.isEmpty()) {
        *body += line + (last ? u""_s : u"\n"_s);
      }
    } else if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(u'#')) {
      if (const QString reason = readHeadingLine(line, tmpl); !reason.isEmpty()) {
        error = lineError(int(i) + 1, reason);
        return std::nullopt;
      }
    }
  }
  if (tmpl.name.isEmpty()) {
    error = u"falta la línea «nombre: ...»"_s;
    return std::nullopt;
  }
  return tmpl;
}

QString exportTemplateText(const ExportTemplate& tmpl) {
  QString text = u"nombre: %1\nsalida: %2\nextension: %3\ncodificacion: %4\n"_s.arg(
      tmpl.name, templateKindKey(tmpl.kind), tmpl.extension,
      tmpl.optionsEncoding ? u"opciones"_s : u"utf-8"_s);
  for (int i = 0; i < kTemplatePartCount; ++i) {
    const QString& body = tmpl.parts[std::size_t(i)];
    if (!body.isEmpty()) {
      text += u"== "_s + kPartKeys[std::size_t(i)] + u" ==\n"_s + body;
      if (!body.endsWith(u'\n')) {
        text += u'\n';
      }
    }
  }
  return text;
}
