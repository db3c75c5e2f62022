#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include <kainjow/mustache.hpp>

#include "output/export_template.h"

// Mustache templates made ready to render record by record. Before parsing, lines that hold
// only a comment or a change of delimiters are taken out whole (so they leave no blank line) and
// partials are put in place, at most kMaxPartialDepth deep, so a template that includes itself
// is an error and never a crash. Every value is escaped for the template's kind of output.

inline constexpr int kMaxPartialDepth = 8;

/** A partial's text: the part of the same name of the template called name; nothing if none. */
using PartialLookup =
    std::function<std::optional<ExportTemplate>(const QString& name, QString& error)>;

/**
 * One record's values (a file's, a directory's, a listing's or the whole export's), kept as a
 * layer of the rendering context. Only the fields the template names are kept: the others are
 * never computed. An empty value is false in a section.
 */
class TemplateRecord {
 public:
  explicit TemplateRecord(const std::unordered_set<std::string>* used);

  /** Whether the template names the field, so that it is worth computing. */
  bool wants(const std::string& key) const;
  void put(const std::string& key, const QString& value);
  void put(const std::string& key, qint64 value) { put(key, QString::number(value)); }
  void putFlag(const std::string& key, bool value);

  const kainjow::mustache::data& data() const { return data_; }

 private:
  const std::unordered_set<std::string>* used_;
  kainjow::mustache::data data_{kainjow::mustache::data::type::object};
};

class CompiledTemplate {
 public:
  /**
   * The template ready to render, its partials found through lookup. Nothing, with error set
   * («cabecera, línea 3, columna 14: falta cerrar {{#archivo_album}}»), when a part is
   * malformed or a partial is unknown or nested too deep; each field the template names that
   * no record has is added to warnings («campo desconocido: {{archivo_artsit}}»).
   */
  static std::optional<CompiledTemplate> compile(const ExportTemplate& tmpl,
                                                 const PartialLookup& lookup, QString& error,
                                                 QStringList& warnings);

  const ExportTemplate& source() const { return source_; }
  bool has(TemplatePart part) const;
  /** The field names any part names, for TemplateRecord. */
  const std::unordered_set<std::string>& usedFields() const { return used_; }

  /** Renders part with the records, the innermost last, appended to out as UTF-8. */
  void render(TemplatePart part, std::initializer_list<const TemplateRecord*> records,
              std::string& out) const;

 private:
  ExportTemplate source_;
  std::array<std::shared_ptr<kainjow::mustache::mustache>, kTemplatePartCount> parts_;
  std::unordered_set<std::string> used_;
};

/** The value escaped as the kind of output needs it (UTF-8 in and out). */
std::string escapeTemplateValue(TemplateKind kind, const std::string& value);
