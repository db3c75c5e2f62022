#pragma once

#include <QByteArray>
#include <QString>

#include "output/template_export.h"

// A catalogue book: every stored listing of the program's catalogue through one template, in
// number order, one listing in memory at a time.

/** Which stored listings: all, only CDs or only directories. */
enum class CatalogueMedium { All, Cd, Directory };

/**
 * The export of the catalogue's listings of medium. Nothing, with error set in Spanish, when the
 * catalogue or one of its listings cannot be read.
 */
std::optional<QByteArray> catalogueTemplateBytes(const CompiledTemplate& tmpl,
                                                 CatalogueMedium medium, const LineDesigns& designs,
                                                 const QString& outputDir,
                                                 ExportEncoding optionsEncoding, QString& error);
