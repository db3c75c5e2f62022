#pragma once

#include <QString>

#include <optional>
#include <vector>

#include "output/export_template.h"
#include "output/template_engine.h"

// Where templates come from: the presets shipped in the program (read-only) and the user's own,
// one file each in the user's data directory, shared by copying the file.

struct TemplateEntry {
  QString name;
  bool preset = false;
  /** The user template's file; a preset's resource. */
  QString path;
  /** As read from path when the list was made. */
  ExportTemplate tmpl;
};

/** The folder of the user's templates ($XDG_DATA_HOME/Quillet/plantillas); not created here. */
QString userTemplatesDir();

/** "plantilla" files of the user: the extension of a template file. */
inline constexpr char16_t kTemplateFileSuffix[] = u".plantilla";

/** The presets in their fixed order, then the user's templates by name. */
std::vector<TemplateEntry> availableTemplates();

/**
 * The template called nameOrFile (a preset or a user template, by name) or, when none is, the
 * template file at that path. Nothing, with error set, when it is unknown, unreadable or
 * malformed.
 */
std::optional<ExportTemplate> findTemplate(const QString& nameOrFile, QString& error);

/**
 * The template called nameOrFile, compiled with its partials found by findTemplate: nothing,
 * with error set, when it is unknown, unreadable or malformed; its unknown fields in warnings.
 */
std::optional<CompiledTemplate> compileTemplateNamed(const QString& nameOrFile, QString& error,
                                                     QStringList& warnings);

/** Reads and parses a template file (or resource); error names the file. */
std::optional<ExportTemplate> readTemplateFile(const QString& path, QString& error);
