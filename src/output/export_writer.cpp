#include "output/export_writer.h"

#include <QFile>

#include "base/app_info.h"
#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

void appendRecord(QByteArray& bytes, QStringView record, ExportEncoding encoding) {
  bytes += encodeExportText(encoding, record);
  bytes += "\r\n";
}

QString htmlRow(const QString& html) {
  QString cells = html;
  cells.replace(u'\t', u"&nbsp;</td><td>&nbsp;"_s);
  return u"<tr><td>&nbsp;"_s + cells.mid(2) + u"</td></tr>"_s;
}

}  // namespace

QString exportFileName(ExportFormat format) {
  switch (format) {
    case ExportFormat::Html:
      return u"lista.html"_s;
    case ExportFormat::Csv:
      return u"lista.csv"_s;
    case ExportFormat::Json:
      return u"lista.json"_s;
    case ExportFormat::Text:
      break;
  }
  return u"lista.txt"_s;
}

QString HtmlPageHead(ExportEncoding encoding) {
  const QString charset =
      encoding == ExportEncoding::Utf8
          ? u"<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=utf-8'>"_s
          : QString();
  return u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
         u"<HTML><HEAD>"_s +
         charset + u"<TITLE> Listado Generado por "_s + AppTitle() +
         u"</TITLE><META NAME='Generator' CONTENT='"_s + AppTitle() +
         u"'><META NAME='Author' CONTENT=''><style>td{font: verdana;font-size: 8pt;color: "
         u"orange;}</style></HEAD><BODY bgcolor=white>"_s;
}

QString HtmlPageFoot() {
  return u"</BODY></HTML>"_s;
}

QByteArray textExportBytes(const std::vector<RenderedEntry>& entries, ExportEncoding encoding) {
  QByteArray bytes;
  for (const RenderedEntry& entry : entries) {
    appendRecord(bytes, QStringView(entry.text).mid(2), encoding);
  }
  return bytes;
}

QByteArray htmlExportBytes(const std::vector<RenderedEntry>& entries, ExportEncoding encoding) {
  QByteArray bytes;
  appendRecord(bytes, HtmlPageHead(encoding), encoding);
  appendRecord(bytes, u"<table width='100%' border='1' cellspacing='0' cellpadding='0'>"_s,
               encoding);
  for (const RenderedEntry& entry : entries) {
    appendRecord(bytes, htmlRow(entry.html), encoding);
  }
  appendRecord(bytes, u"</table>"_s, encoding);
  appendRecord(bytes, HtmlPageFoot(), encoding);
  return bytes;
}

QByteArray exportBytes(ExportFormat format, const std::vector<RenderedEntry>& entries,
                       ExportEncoding encoding) {
  return format == ExportFormat::Html ? htmlExportBytes(entries, encoding)
                                      : textExportBytes(entries, encoding);
}

QString writeExport(const QString& path, ExportFormat format,
                    const std::vector<RenderedEntry>& entries, ExportEncoding encoding) {
  return writeOutputFile(QFile::encodeName(path), exportBytes(format, entries, encoding));
}
