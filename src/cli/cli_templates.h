#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "cli/cli_support.h"
#include "output/template_engine.h"

// The verbs of export templates (`templates`, `export-catalogue`) and what `scan` and `show`
// need to write a listing through one.

/**
 * The template called nameOrFile, compiled: each warning written as an "aviso:" line; nothing,
 * with the reason written on standard error, when it is unknown, unreadable or malformed.
 */
std::optional<CompiledTemplate> compiledTemplateFor(const QString& nameOrFile);

/** The folder playlist paths are measured from: the output file's, or the working folder. */
QString templateOutputDir(const std::optional<QByteArray>& file);

OptionNames exportCatalogueOptions();
QString templatesHelp();
QString exportCatalogueHelp();
int runTemplatesVerb(const ParsedArguments& parsed);
int runExportCatalogueVerb(const ParsedArguments& parsed);
