#include "cli_program_fixture.h"

using namespace Qt::StringLiterals;

namespace {

class CliTableOutputTest : public CliProgramTest {
 protected:
  void SetUp() override {
    CliProgramTest::SetUp();
    writeMp3(tree + u"/Sub/it's, \"x\".mp3"_s,
             id3v1Block({.title = "Uno; dos", .artist = "Ni\xF1o's", .year = "2001"}));
  }
};

}  // namespace

// The scanned listing and the same listing loaded back give the same bytes: names as on disk,
// and tag texts, like every text of the exports, with their "'" back.
TEST_F(CliTableOutputTest, ScannedAndStoredListingsExportTheSameCsvAndJson) {
  for (const QString& format : {u"json"_s, u"csv"_s}) {
    const ProgramRun scanned = run({u"scan"_s, tree, u"--store"_s, u"--format"_s, format});
    ASSERT_EQ(scanned.exitCode, 0) << scanned.err.toStdString();
    const QByteArray number = scanned.err.split(' ').last().trimmed();
    const ProgramRun shown = run({u"show"_s, QString::fromLatin1(number), u"--format"_s, format});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString() << number.toStdString();
    EXPECT_EQ(shown.out, scanned.out) << format.toStdString();
    EXPECT_TRUE(scanned.out.contains("it's, ")) << scanned.out.toStdString();
  }
  const ProgramRun csv = run({u"scan"_s, tree, u"--format"_s, u"csv"_s});
  EXPECT_TRUE(csv.out.startsWith("\xEF\xBB\xBFlistado,medio,"));
  EXPECT_TRUE(csv.out.contains(",\"it's, \"\"x\"\".mp3\",Ni\xC3\xB1o's,Uno; dos,,2001,"))
      << csv.out.toStdString();
}

TEST_F(CliTableOutputTest, EncodingWithCsvOrJsonAndUnknownChoicesAreUsageErrors) {
  for (const QStringList& arguments :
       {QStringList{u"--format"_s, u"csv"_s, u"--encoding"_s, u"utf8"_s},
        QStringList{u"--format"_s, u"json"_s, u"--encoding"_s, u"cp1252"_s},
        QStringList{u"--format"_s, u"csv"_s, u"--csv-separator"_s, u"tab"_s},
        QStringList{u"--format"_s, u"xls"_s}}) {
    const ProgramRun result = run(QStringList{u"scan"_s, tree} + arguments);
    EXPECT_EQ(result.exitCode, 2) << arguments.join(u' ').toStdString();
    EXPECT_EQ(result.out, QByteArray());
    EXPECT_EQ(result.err.count('\n'), 2) << result.err.toStdString();
  }
  EXPECT_TRUE(
      run({u"scan"_s, tree, u"--format"_s, u"xls"_s})
          .err.startsWith("quillet: formato desconocido: xls (se admite txt, html, csv o json)"));
}

TEST_F(CliTableOutputTest, StatsWritesFiguresThenChartBlocksAndRefusesAMissingListing) {
  ASSERT_EQ(run({u"scan"_s, tree, u"--store"_s}).exitCode, 0);
  const ProgramRun stats = run({u"stats"_s});
  EXPECT_EQ(stats.exitCode, 0) << stats.err.toStdString();
  EXPECT_EQ(QString::fromUtf8(stats.out),
            u"listados\t1\ndirectorios\t2\narchivos\t4\nartistas\t1\nalbumes\t0\n"
            u"sin_artista\t3\nsin_titulo\t1\nsin_album\t4\nsin_anyo\t2\nsin_etiqueta\t1\n"
            u"\ngeneros\nBlues\t3\n"
            u"\ndecadas\n1990-1999\t1\n2000-2009\t1\nSin año\t2\n"
            u"\ntop_artistas\nNiño´s\t1\n"_s);
  EXPECT_EQ(run({u"stats"_s, u"1"_s, u"--medium"_s, u"dir"_s}).out,
            stats.out.mid(stats.out.indexOf("directorios")));
  EXPECT_TRUE(run({u"stats"_s, u"--format"_s, u"json"_s}).out.startsWith("{\"listados\": 1,\n"));

  const ProgramRun missing = run({u"stats"_s, u"7"_s});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, QByteArray());
  EXPECT_EQ(missing.err.count('\n'), 1);
}
