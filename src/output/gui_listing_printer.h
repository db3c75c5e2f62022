#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>

class QFont;
class QPrinter;

/**
 * Prints entries as a plain listing: one line per entry, from the left edge of the printable
 * area down, one line height of font apart, on a new page when a line no longer fits. Lines are
 * neither wrapped nor decorated (no header, footer or page number). A tab advances to the next
 * stop, every eight blanks of the font; a line break inside an entry (CR LF, CR or LF) goes on
 * at the left edge of the next line, so the entry prints as the text export writes it.
 *
 * Without entries no document is started. Returns the reason (Spanish, for the user) when the
 * printer failed, empty otherwise. The same code serves real queues and PDF files.
 */
QString PrintEntries(QPrinter& printer, const QStringList& entries, const QFont& font,
                     QPageLayout::Orientation orientation,
                     const std::function<bool(int)>& pageDone = {});

/**
 * What PrintEntries returns when pageDone, called with the number of pages done each time a
 * page is full and another follows, returned false: the job is aborted, nothing more printed.
 */
QString printCancelledText();

/**
 * Writes the same pages as PrintEntries, as a PDF file of Qt's own making (A4, no printer or
 * print system involved), through the program's one output writer: a regular file is replaced
 * whole or not at all. Without entries the document is one blank page. Returns the reason
 * (Spanish, for the user) when it failed, empty otherwise.
 */
QString SaveEntriesAsPdf(const QByteArray& path, const QStringList& entries, const QFont& font,
                         QPageLayout::Orientation orientation);
