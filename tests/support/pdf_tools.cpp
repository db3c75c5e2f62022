#include "support/pdf_tools.h"

#include <QProcess>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString runTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, arguments);
  if (!process.waitForFinished(30000) || process.exitCode() != 0) {
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

QString pdfLayoutText(const QString& path) {
  return runTool(u"pdftotext"_s, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, path, u"-"_s});
}

PdfPageInfo pdfPageInfo(const QString& path) {
  const QString info = runTool(u"pdfinfo"_s, {path});
  PdfPageInfo result;
  static const QRegularExpression pages(u"^Pages:\\s+(\\d+)"_s,
                                        QRegularExpression::MultilineOption);
  static const QRegularExpression size(u"^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"_s,
                                       QRegularExpression::MultilineOption);
  if (const auto match = pages.match(info); match.hasMatch()) {
    result.pages = match.captured(1).toInt();
  }
  if (const auto match = size.match(info); match.hasMatch()) {
    result.width = match.captured(1).toDouble();
    result.height = match.captured(2).toDouble();
  }
  return result;
}

QStringList pdfFontNames(const QString& path) {
  // The first two lines are the table's header and rule; a subset name reads "ABCDEF+Name".
  const QStringList rows = runTool(u"pdffonts"_s, {path}).split(u'\n', Qt::SkipEmptyParts);
  QStringList names;
  for (qsizetype i = 2; i < rows.size(); ++i) {
    const QString name = rows[i].section(u' ', 0, 0, QString::SectionSkipEmpty);
    names.append(name.section(u'+', -1));
  }
  return names;
}

QStringList nonBlankLines(const QString& text) {
  static const QRegularExpression lineEnd(u"[\\n\\f]"_s);
  static const QRegularExpression trailingBlanks(u"\\s+$"_s);
  QStringList lines;
  for (QString line : text.split(lineEnd)) {
    line.remove(trailingBlanks);
    if (!line.isEmpty()) {
      lines.append(line);
    }
  }
  return lines;
}
