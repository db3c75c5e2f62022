#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "cli/cli_support.h"
#include "output/table_export.h"

// What the verbs that write CSV share: the --csv-separator option and where the bytes go.

/** "--csv-separator". */
QByteArray csvSeparatorOption();

/**
 * The separator: the option's when given, else the one saved in Opciones. Returns a Spanish
 * usage error, or empty text.
 */
QString csvSeparatorFrom(const ParsedArguments& parsed, CsvSeparator& separator);

/** Its help line, in Spanish. */
QString csvSeparatorHelp();

/** A CSV file starts with a byte-order mark, so spreadsheets read it as UTF-8; a terminal
 *  shows none. */
bool csvByteOrderMark(const std::optional<QByteArray>& file);

/**
 * Writes bytes to file, or to standard output when there is none; what names them in the
 * message of a failure ("el listado"). Returns the exit code; a failure has been reported on
 * standard error and leaves no file behind.
 */
int writeVerbOutput(const std::optional<QByteArray>& file, const QByteArray& bytes,
                    const QString& what);
