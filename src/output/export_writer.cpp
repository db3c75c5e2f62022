#include "output/export_writer.h"

#include <QFile>

#include "app/app_info.h"
#include "platform/ansi_codec.h"
#include "platform/output_file.h"

using namespace Qt::StringLiterals;

namespace {

void appendRecord(QByteArray& bytes, const QString& record) {
  bytes += encodeAnsi(record);
  bytes += "\r\n";
}

QString htmlRow(const QString& html) {
  QString cells = html;
  cells.replace(u'\t', u"&nbsp;</td><td>&nbsp;"_s);
  return u"<tr><td>&nbsp;"_s + cells.mid(2) + u"</td></tr>"_s;
}

}  // namespace

QString exportFileName(ExportFormat format) {
  return format == ExportFormat::Html ? u"lista.html"_s : u"lista.txt"_s;
}

QString HtmlPageHead() {
  return u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
         u"<HTML><HEAD><TITLE> Listado Generado por "_s +
         AppTitle() + u"</TITLE><META NAME='Generator' CONTENT='"_s + AppTitle() +
         u"'><META NAME='Author' CONTENT=''><style>td{font: verdana;font-size: 8pt;color: "
         u"orange;}</style></HEAD><BODY bgcolor=white>"_s;
}

QString HtmlPageFoot() {
  return u"</BODY></HTML>"_s;
}

QByteArray textExportBytes(const std::vector<RenderedEntry>& entries) {
  QByteArray bytes;
  for (const RenderedEntry& entry : entries) {
    appendRecord(bytes, entry.text.mid(2));
  }
  return bytes;
}

QByteArray htmlExportBytes(const std::vector<RenderedEntry>& entries) {
  QByteArray bytes;
  appendRecord(bytes, HtmlPageHead());
  appendRecord(bytes, u"<table width='100%' border='1' cellspacing='0' cellpadding='0'>"_s);
  for (const RenderedEntry& entry : entries) {
    appendRecord(bytes, htmlRow(entry.html));
  }
  appendRecord(bytes, u"</table>"_s);
  appendRecord(bytes, HtmlPageFoot());
  return bytes;
}

QByteArray exportBytes(ExportFormat format, const std::vector<RenderedEntry>& entries) {
  return format == ExportFormat::Html ? htmlExportBytes(entries) : textExportBytes(entries);
}

QString writeExport(const QString& path, ExportFormat format,
                    const std::vector<RenderedEntry>& entries) {
  return writeOutputFile(QFile::encodeName(path), exportBytes(format, entries));
}
