#include "output/export_writer.h"

#include <QDir>
#include <QFile>

#include "support/test_env.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray kHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><HTML><HEAD><TITLE> Listado "
    "Generado por Quillet v.0.1.0</TITLE><META NAME='Generator' CONTENT='Quillet v.0.1.0'><META "
    "NAME='Author' CONTENT=''><style>td{font: verdana;font-size: 8pt;color: "
    "orange;}</style></HEAD><BODY bgcolor=white>\r\n"
    "<table width='100%' border='1' cellspacing='0' cellpadding='0'>\r\n";
const QByteArray kFoot = "</table>\r\n</BODY></HTML>\r\n";

std::vector<RenderedEntry> sampleEntries() {
  return {{u"D-1 /m\u00FAsica & co"_s, u"D-1 /m\u00FAsica &amp; co"_s},
          {u"F-01\tIntro"_s, u"F-01\tIntro"_s},
          {u"F-a\r\nb \u20AC \u4E2D"_s, u"F-a\r\nb \u20AC \u4E2D"_s},
          {u"  "_s, u"  "_s}};
}

}  // namespace

TEST(ExportWriter, TextRecordsDropTheMarkerAndEndInCrLfInWindows1252) {
  EXPECT_EQ(textExportBytes(sampleEntries()),
            QByteArray("1 /m\xFAsica & co\r\n01\tIntro\r\na\r\nb \x80 ?\r\n\r\n"));
  EXPECT_EQ(textExportBytes({}), QByteArray());
}

TEST(ExportWriter, HtmlPageHasOneRowPerEntryAndOneCellPerTab) {
  const QByteArray rows =
      "<tr><td>&nbsp;1 /m\xFAsica &amp; co</td></tr>\r\n"
      "<tr><td>&nbsp;01&nbsp;</td><td>&nbsp;Intro</td></tr>\r\n"
      "<tr><td>&nbsp;a\r\nb \x80 ?</td></tr>\r\n"
      "<tr><td>&nbsp;</td></tr>\r\n";
  EXPECT_EQ(htmlExportBytes(sampleEntries()), kHead + rows + kFoot);
  EXPECT_EQ(htmlExportBytes({}), kHead + kFoot);
  EXPECT_EQ(exportBytes(ExportFormat::Html, {}), kHead + kFoot);
}

TEST(ExportWriter, WritesTheFileWholeAndReplacesAnOlderOne) {
  const QString path = TestEnvironment::newTempDir() + u"/"_s + exportFileName(ExportFormat::Text);
  writeFile(path, QByteArray(5000, 'o'));
  EXPECT_EQ(writeExport(path, ExportFormat::Text, sampleEntries()), QString());
  EXPECT_EQ(readFile(path), textExportBytes(sampleEntries()));
  EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files),
            QStringList{u"lista.txt"_s});
  EXPECT_EQ(exportFileName(ExportFormat::Html), u"lista.html"_s);
}

TEST(ExportWriter, FailureIsReportedInSpanishAndLeavesNoFile) {
  const QString dir = TestEnvironment::newTempDir();
  EXPECT_EQ(writeExport(dir + u"/missing/lista.txt"_s, ExportFormat::Text, sampleEntries()),
            u"no existe"_s);
  QDir().mkpath(dir + u"/lista.html"_s);
  EXPECT_EQ(writeExport(dir + u"/lista.html"_s, ExportFormat::Html, sampleEntries()),
            u"es un directorio"_s);
  EXPECT_EQ(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList{u"lista.html"_s});
}

TEST(ExportWriter, Utf8ExportsKeepTheRecordsAndNameTheirCharsetInTheHead) {
  EXPECT_EQ(textExportBytes(sampleEntries(), ExportEncoding::Utf8),
            QByteArray("1 /m\xc3\xba"
                       "sica & co\r\n01\tIntro\r\na\r\nb \xe2\x82\xac \xe4\xb8\xad\r\n\r\n"));
  const QByteArray html = htmlExportBytes(sampleEntries(), ExportEncoding::Utf8);
  const QByteArray meta = "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=utf-8'>";
  QByteArray head = kHead;
  head.insert(head.indexOf("<TITLE>"), meta);
  const QByteArray rows =
      "<tr><td>&nbsp;1 /m\xc3\xba"
      "sica &amp; co</td></tr>\r\n"
      "<tr><td>&nbsp;01&nbsp;</td><td>&nbsp;Intro</td></tr>\r\n"
      "<tr><td>&nbsp;a\r\nb \xe2\x82\xac \xe4\xb8\xad</td></tr>\r\n"
      "<tr><td>&nbsp;</td></tr>\r\n";
  EXPECT_EQ(html, head + rows + kFoot);
  EXPECT_FALSE(htmlExportBytes(sampleEntries()).contains("charset"));
}
