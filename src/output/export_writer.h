#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "listing/renderer.h"
#include "output/table_export.h"
#include "platform/code_pages.h"

// The two exports of a rendered listing: a text file and an HTML page, both Windows-1252 (or
// UTF-8 when the user chose it) with CR LF after every record. The listing window writes them to
// the program directory and opens them; the command line writes the same bytes to a file or to
// standard output.

// Text and Html render the listing's lines; Csv and Json (listing_export.h) write its files.
// The order is that of the export menu.
/** How the exports are written: the text encoding (txt and html only; csv and json are always
 *  UTF-8), the CSV separator and whether a CSV starts with a byte-order mark. */
struct ExportChoices {
  ExportEncoding encoding = ExportEncoding::Windows1252;
  CsvSeparator csvSeparator = CsvSeparator::Comma;
  bool byteOrderMark = true;
};

enum class ExportFormat { Text, Html, Csv, Json };

/** "lista.txt", "lista.html", "lista.csv" or "lista.json": the fixed name in the program
 * directory. */
QString exportFileName(ExportFormat format);

/**
 * The head record of the HTML page, built from AppTitle at the moment of the call. A UTF-8 page
 * names its charset in a META of the head; a Windows-1252 page has no such META.
 */
QString HtmlPageHead(ExportEncoding encoding = ExportEncoding::Windows1252);

/** "</BODY></HTML>". */
QString HtmlPageFoot();

/** One record per entry, without its two-character marker. */
QByteArray textExportBytes(const std::vector<RenderedEntry>& entries,
                           ExportEncoding encoding = ExportEncoding::Windows1252);

/** Head, table start, one row per entry (its html form, a cell per tab), table end, foot. */
QByteArray htmlExportBytes(const std::vector<RenderedEntry>& entries,
                           ExportEncoding encoding = ExportEncoding::Windows1252);

/** The Text or Html export of the entries. */
QByteArray exportBytes(ExportFormat format, const std::vector<RenderedEntry>& entries,
                       ExportEncoding encoding = ExportEncoding::Windows1252);

/**
 * Writes the export to path through the program's one output writer (a file is replaced whole,
 * never left partial). Returns empty text on success, otherwise the reason in Spanish, ready
 * for a message.
 */
QString writeExport(const QString& path, ExportFormat format,
                    const std::vector<RenderedEntry>& entries,
                    ExportEncoding encoding = ExportEncoding::Windows1252);
