#pragma once

#include <QString>
#include <QStringList>

// Reads PDF files back through poppler's command-line tools, so tests check what a reader sees.

/** The text of the document as `pdftotext -layout` lays it out; pages end with a form feed. */
QString pdfLayoutText(const QString& path);

struct PdfPageInfo {
  int pages = 0;
  double width = 0;  // points, of the first page
  double height = 0;
};

/** Page count and first page size from `pdfinfo`; zeros when it cannot read the file. */
PdfPageInfo pdfPageInfo(const QString& path);

/** Names of the fonts the document uses, from `pdffonts`, subset prefixes removed. */
QStringList pdfFontNames(const QString& path);

/** The non-blank lines of layout text, right-trimmed, in order. */
QStringList nonBlankLines(const QString& text);
