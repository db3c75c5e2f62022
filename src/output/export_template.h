#pragma once

#include <QString>

#include <array>
#include <optional>

// An export template: five optional parts rendered record by record (once before everything,
// per listing, per directory, per file, once after everything), the kind of output that decides
// how values are escaped, the file extension and the encoding. A template is a plain UTF-8 text
// file, readable and shareable by copying:
//
//   # comment lines before the first part
//   nombre: M3U8 (rutas relativas)
//   salida: m3u
//   extension: m3u8
//   codificacion: utf-8
//   == cabecera ==
//   #EXTM3U
//   == archivo ==
//   #EXTINF:{{archivo_segundos}},{{archivo_artista}} - {{archivo_titulo}}
//
// A part is every line between its marker and the next one, each with its line break.

enum class TemplatePart { Cabecera, Listado, Directorio, Archivo, Pie };
inline constexpr int kTemplatePartCount = 5;

/** How values are escaped: html, xml, json, m3u (line breaks removed) or texto (as they are). */
enum class TemplateKind { Html, Xml, Json, M3u, Text };

struct ExportTemplate {
  QString name;
  TemplateKind kind = TemplateKind::Text;
  QString extension = QStringLiteral("txt");
  /** UTF-8, or the export encoding chosen in the options. */
  bool optionsEncoding = false;
  std::array<QString, kTemplatePartCount> parts;

  QString& part(TemplatePart which) { return parts[static_cast<std::size_t>(which)]; }
  const QString& part(TemplatePart which) const { return parts[static_cast<std::size_t>(which)]; }
};

/** "cabecera", "listado", "directorio", "archivo", "pie". */
QString templatePartKey(TemplatePart part);

/** "html", "xml", "json", "m3u", "texto". */
QString templateKindKey(TemplateKind kind);
std::optional<TemplateKind> templateKindFromKey(const QString& key);

/** The template the text holds; nothing, and error set to its line and reason, when malformed. */
std::optional<ExportTemplate> parseExportTemplate(const QString& text, QString& error);

/** The file text of the template; parseExportTemplate reads it back the same, each part ending
 *  with a line break. */
QString exportTemplateText(const ExportTemplate& tmpl);
